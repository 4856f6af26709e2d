#include "Main/StartupWarmUp.h"

#include <QDBusConnection>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>

#include <fontconfig/fontconfig.h>
#include <unistd.h>

#include "devsdk/DevSdkSim.h"
#include "Widgets/SFSkin.h"

namespace {

// libdbus finds the session bus through the address variable or the user's runtime directory;
// failing these it forks to run dbus-launch, which may start one.
bool SessionBusOutOfReach()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return false;
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && access((runtime + "/bus").constData(), F_OK) == 0)
        return false;
    QByteArrayList dirs = qgetenv("PATH").split(':');
    dirs << "/usr/bin" << "/bin" << "/usr/local/bin";
    for (const QByteArray& dir : dirs) {
        if (!dir.isEmpty() && access((dir + "/dbus-launch").constData(), X_OK) == 0)
            return false;
    }
    return true;
}

// The skin images of the main window's first paint (those of every language), decoded here so that
// the GUI thread takes them ready. The skin folder is beside the program.
void PrefetchFirstPaintImages()
{
    const QString exe = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
    if (exe.isEmpty())
        return;
    const QString skin = QFileInfo(exe).absolutePath() + QStringLiteral("/Skin/");
    for (const char* name : {"FrameMain.png", "bgColorMain.png", "menu_bg.png", "logo.png", "tittle.png",
                             "filterSeperater.png", "ComboBox_small.png", "bg_edit.png", "main.ico"})
        SFPrefetchSkinImage(skin + QLatin1String(name));
}

} // namespace

CStartupWarmUp::CStartupWarmUp()
{
    // Without a bus to reach, the connection fails at once instead of after a fork that finds
    // nothing to run (still before any other thread is started).
    const bool noBus = SessionBusOutOfReach();
    if (noBus)
        qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    m_thread = std::thread([] {
        // The font configuration and its caches: the first text measured would read them.
        FcInit();
        // The emulated devices that SdkInit would start.
        devsdk::PrepareEmbeddedDevices();
        PrefetchFirstPaintImages();
    });
    // Where no session bus runs, connecting forks the process to start one; a fork while the window
    // is being built makes the GUI thread fault on every page it writes afterwards. Forking now,
    // while the process is small, costs far less.
    if (!noBus)
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
