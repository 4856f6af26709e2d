#include "Main/StartupWarmUp.h"

#include <QDBusConnection>

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

CStartupWarmUp::~CStartupWarmUp()
{
    Join();
    if (m_busThread.joinable())
        m_busThread.join();
}

void CStartupWarmUp::ConnectSessionBus()
{
    if (!m_busThread.joinable())
        m_busThread = std::thread([] { QDBusConnection::sessionBus(); });
}

void CStartupWarmUp::Join()
{
    if (m_thread.joinable())
        m_thread.join();
}
