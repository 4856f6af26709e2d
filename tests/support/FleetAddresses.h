// Loopback addresses for emulated fleets, so that tests in parallel processes never share one: a
// block per test (from its position in the suite) or per process; and the SDK started with its
// embedded fleet on a block.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "devsdk/DevSdk.h"
#include "devsdk/DevSdkSim.h"
#include "devsim/Fleet.h"

namespace vxtest {

// Position of the running test in its suite, from 0.
inline int TestIndexInSuite()
{
    const ::testing::TestSuite* suite = ::testing::UnitTest::GetInstance()->current_test_suite();
    const ::testing::TestInfo* current = ::testing::UnitTest::GetInstance()->current_test_info();
    int index = 0;
    while (suite->GetTestInfo(index) != current)
        ++index;
    return index;
}

// "127.A.B." of this process; another attempt, or another salt, gives another block.
inline std::string ProcessPrefix(int attempt, unsigned salt = 1)
{
    const unsigned p = unsigned(getpid()) * salt + unsigned(attempt) * 7919u;
    return "127." + std::to_string(10 + p % 240) + "." + std::to_string(1 + (p / 240) % 250) + ".";
}

// Starts a fleet of external devices on the first block of this process where it starts (at most
// 8 tries, from ProcessPrefix(0, salt) on); devicesAt gives the devices for a block's prefix. Null,
// and a test failure, when no block was free; prefix is the block tried last.
inline std::unique_ptr<devsim::Fleet> StartFleetOnFreeBlock(
    int rebootMs, unsigned salt, const std::function<std::vector<devsim::DeviceState>(const std::string&)>& devicesAt,
    std::string& prefix)
{
    for (int attempt = 0; attempt < 8; ++attempt) {
        prefix = ProcessPrefix(attempt, salt);
        devsim::Fleet::Options fo;
        fo.rebootMs = rebootMs;
        auto fleet = std::make_unique<devsim::Fleet>(fo);
        for (const devsim::DeviceState& d : devicesAt(prefix))
            fleet->Add(d);
        if (fleet->Start())
            return fleet;
    }
    ADD_FAILURE() << "no free loopback block";
    return nullptr;
}

// Starts the SDK on count external devices from prefix.2 on, its own address at prefix.1.
inline void StartSdkOnFleet(const std::string& prefix, size_t count)
{
    devsdk::SimOptions o;
    o.embedded = false;
    o.fleets = {prefix + "2+" + std::to_string(count)};
    o.localIp = prefix + "1";
    devsdk::SetSimOptions(o);
    SdkInit(nullptr, nullptr);
}

// Starts the SDK with its embedded fleet on opt; sdkUp and fleet are set as each step succeeds.
inline void StartEmbeddedSdk(devsdk::SimOptions opt, bool& sdkUp, devsim::Fleet*& fleet)
{
    opt.embedded = true;
    devsdk::SetSimOptions(opt);
    ASSERT_TRUE(SdkInit(nullptr, nullptr));
    sdkUp = true;
    fleet = devsdk::EmbeddedFleet();
    ASSERT_NE(fleet, nullptr);
}

} // namespace vxtest
