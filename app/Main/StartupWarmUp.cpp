#include "Main/StartupWarmUp.h"

#include <QDBusConnection>

#include <fontconfig/fontconfig.h>

#include "Widgets/SFSkinPrefetch.h"
#include "devsdk/DevSdkSim.h"

#include <filesystem>

CStartupWarmUp::CStartupWarmUp()
{
    // The skin images beside the program.
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error)
        SFPrefetchSkinImages(QString::fromStdString((program.parent_path() / "Skin").string()));
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
