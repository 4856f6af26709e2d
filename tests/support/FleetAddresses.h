// Loopback addresses for emulated fleets, so that tests in parallel processes never share one: a
// block per test (from its position in the suite) or per process; and the SDK started with its
// embedded fleet on a block.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

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
