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
    for (int attempt = 0; attempt < 8; ++attempt) {
        prefix_ = ProcessPrefix(attempt);
        devsim::Fleet::Options fo;
        fo.rebootMs = rebootMs;
        fleet_ = std::make_unique<devsim::Fleet>(fo);
        for (auto& d : devsim::MakeMixedFleet(devices, Addr(2), 3))
            fleet_->Add(d);
        if (fleet_->Start())
            break;
        fleet_.reset();
    }
    ASSERT_TRUE(fleet_) << "no free loopback block";
    devsdk::SimOptions o;
    o.embedded = false;
    o.fleets = {Addr(2) + "+" + std::to_string(devices)};
    o.localIp = Addr(1);
    devsdk::SetSimOptions(o);
    SdkInit(nullptr, nullptr);
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
