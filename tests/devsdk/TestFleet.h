// A fleet of emulated devices on addresses of this test process only, and the SDK pointed
// at it, so that tests run in parallel without clashes.
#pragma once

#include "../support/FleetAddresses.h"
#include "devsdk/CfgSdk.h"
#include "devsdk/DevSdk.h"
#include "devsdk/DevSdkSim.h"
#include "devsim/Fleet.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace devtest {

// "127.A.B." for this process; tries further blocks when addresses are taken.
using vxtest::ProcessPrefix;

class SdkFleetTest : public ::testing::Test {
protected:
    // devices: mixed fleet of this size from prefix.2; sdk options point at it (no embedded fleet).
    void StartFleet(size_t devices, int rebootMs = 400);
    void TearDown() override;

    std::string Addr(int host) const { return prefix_ + std::to_string(host); }
    std::string DeviceIp(size_t i) const { return fleet_->StateOf(i).ip; }
    LONG LoginTo(size_t i, const char* user = "admin", const char* pwd = "admin123", int* err = nullptr);

    std::string prefix_;
    std::unique_ptr<devsim::Fleet> fleet_;
    bool inited_ = false;
};

// Waits (generously) until pred holds.
bool WaitFor(const std::function<bool()>& pred, int ms = 10000);

template <class T> T ReadAt(const void* base, size_t off)
{
    T v;
    std::memcpy(&v, static_cast<const char*>(base) + off, sizeof v);
    return v;
}
inline std::string TextAt(const void* base, size_t off) { return static_cast<const char*>(base) + off; }

} // namespace devtest
