#include "Main/StartupWarmUp.h"

#include <fontconfig/fontconfig.h>

#include "devsdk/DevSdkSim.h"

CStartupWarmUp::CStartupWarmUp()
{
    m_thread = std::thread([] {
        // The font configuration and its caches: the first text measured would read them.
        FcInit();
        // The emulated devices that SdkInit would start.
        devsdk::PrepareEmbeddedDevices();
    });
}

CStartupWarmUp::~CStartupWarmUp() { Join(); }

void CStartupWarmUp::Join()
{
    if (m_thread.joinable())
        m_thread.join();
}
