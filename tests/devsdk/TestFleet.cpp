#include "TestFleet.h"

namespace devtest {

bool WaitFor(const std::function<bool()>& pred, int ms)
{
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (pred())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return pred();
}

void SdkFleetTest::StartFleet(size_t devices, int rebootMs)
{
    fleet_ = vxtest::StartFleetOnFreeBlock(
        rebootMs, 1, [&](const std::string& prefix) { return devsim::MakeMixedFleet(devices, prefix + "2", 3); },
        prefix_);
    ASSERT_TRUE(fleet_);
    vxtest::StartSdkOnFleet(prefix_, devices);
    inited_ = true;
}

void SdkFleetTest::TearDown()
{
    if (inited_)
        SdkCleanup();
    devsdk::ResetSimOptions();
    if (fleet_)
        fleet_->Stop();
}

LONG SdkFleetTest::LoginTo(size_t i, const char* user, const char* pwd, int* err)
{
    int e = -1;
    SDK_LOGIN_DEVICE_INFO info{};
    LONG h = SdkLoginEx(DeviceIp(i).c_str(), 37777, user, pwd, EM_LOGIN_SPEC_CAP_TCP, nullptr, &info, &e);
    if (err)
        *err = e;
    return h;
}

} // namespace devtest
