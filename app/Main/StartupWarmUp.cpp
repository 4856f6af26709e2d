#include "Main/StartupWarmUp.h"

#include <QDBusConnection>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>

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
    // Where no session bus runs, connecting forks the process to start one; a fork while the window
    // is being built makes the GUI thread fault on every page it writes afterwards. Forking now,
    // while the process is small, costs far less.
    m_busThread = std::thread([] { QDBusConnection::sessionBus(); });
}

CStartupWarmUp::~CStartupWarmUp()
{
    WaitAll();
}

void CStartupWarmUp::WaitAll()
{
    Join();
    if (m_busThread.joinable())
        m_busThread.join();
    if (m_fontThread.joinable())
        m_fontThread.join();
}

void CStartupWarmUp::AfterApplication()
{
    if (m_fontThread.joinable())
        return;
    m_fontThread = std::thread([] {
        // The font list and the default family's fallbacks are shared by all threads; the GUI
        // thread's first text would otherwise read them. The font engine made here stays with
        // this thread.
        QFontDatabase::families();
        QFontMetrics(QGuiApplication::font()).height();
    });
}

void CStartupWarmUp::Join()
{
    if (m_thread.joinable())
        m_thread.join();
}
