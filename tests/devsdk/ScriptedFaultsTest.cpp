#include "devsim/DeviceModel.h"

#include <gtest/gtest.h>

namespace {

using devsim::DeviceModel;
using devsim::DeviceState;

TEST(ScriptedFaults, FleetFileCarriesEveryScriptedFault)
{
    DeviceState s;
    s.hangOps = {3, 41};
    s.failOps = {{30, 0x80000017u}, {12, 7u}};
    s.busy = true;
    s.blacklist = {"127.0.0.1"};
    s.authCodes = {"111111", "222222"};
    s.cameraStates = {2, 0, 2};
    s.fixedSecurityCode = "123456";
    s.maxFailures = 3;
    s.lockSeconds = 9;

    DeviceState back = DeviceModel::FromJson(DeviceModel::ToJson(s));
    EXPECT_EQ(back.hangOps, s.hangOps);
    EXPECT_EQ(back.failOps, s.failOps);
    EXPECT_TRUE(back.busy);
    EXPECT_EQ(back.blacklist, s.blacklist);
    EXPECT_EQ(back.authCodes, s.authCodes);
    EXPECT_EQ(back.cameraStates, s.cameraStates);
    EXPECT_EQ(back.fixedSecurityCode, s.fixedSecurityCode);
    EXPECT_EQ(back.maxFailures, 3);
    EXPECT_EQ(back.lockSeconds, 9);
}

TEST(ScriptedFaults, BadEntriesAreSkippedAndListsBounded)
{
    Json::Value v(Json::objectValue);
    v["hangOps"] = "3";                    // wrong type: ignored
    v["failOps"]["x"] = 5;                 // key not a number
    v["failOps"]["30"] = "code";           // value not a number
    v["failOps"]["31"] = 9;
    for (int i = 0; i < 5; ++i)
        v["authCodes"].append("c" + std::to_string(i));
    v["cameraStates"].append("2");
    DeviceState s = DeviceModel::FromJson(v);
    EXPECT_TRUE(s.hangOps.empty());
    ASSERT_EQ(s.failOps.size(), 1u);
    EXPECT_EQ(s.failOps.at(31), 9u);
    EXPECT_EQ(s.authCodes.size(), 3u);
    EXPECT_TRUE(s.cameraStates.empty());
}

} // namespace
