#include "Main/StartupWarmUp.h"

#include <QDBusConnection>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QImageReader>

#include <fontconfig/fontconfig.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

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

// The skin folder is beside the program.
QString SkinFolder()
{
    const QString exe = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
    return exe.isEmpty() ? QString() : QFileInfo(exe).absolutePath() + QStringLiteral("/Skin/");
}

// The skin images of the main window's first paint (those of every language), decoded here so that
// the GUI thread takes them ready.
void PrefetchFirstPaintImages()
{
    const QString skin = SkinFolder();
    if (skin.isEmpty())
        return;
    for (const char* name : {"FrameMain.png", "bgColorMain.png", "menu_bg.png", "logo.png", "tittle.png",
                             "filterSeperater.png", "ComboBox_small.png", "bg_edit.png", "main.ico"})
        SFPrefetchSkinImage(skin + QLatin1String(name));
}

#ifndef MADV_POPULATE_READ
#define MADV_POPULATE_READ 22
#endif

// Maps the code of the program and of the libraries that build its window into the process at
// once: the GUI thread would otherwise stop at a page fault for each few pages of it that it runs
// first. Kernels without the request ignore it.
void MapCodeAhead()
{
    char exe[4096];
    const ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (length <= 0)
        return;
    exe[length] = '\0';
    FILE* maps = std::fopen("/proc/self/maps", "re");
    if (!maps)
        return;
    char line[4096 + 128];
    while (std::fgets(line, sizeof line, maps)) {
        unsigned long from = 0;
        unsigned long to = 0;
        char perms[5] = {};
        if (std::sscanf(line, "%lx-%lx %4s", &from, &to, perms) != 3 || std::strcmp(perms, "r-xp") != 0)
            continue;
        const char* path = std::strchr(line, '/');
        if (!path)
            continue;
        const std::size_t end = std::strcspn(path, "\n");
        const bool own = std::strlen(exe) == end && std::strncmp(path, exe, end) == 0;
        if (own || std::strstr(path, "/libQt6") || std::strstr(path, "/libstdc++.so") || std::strstr(path, "/libc.so"))
            madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_READ);
    }
    std::fclose(maps);
}

} // namespace

CStartupWarmUp::CStartupWarmUp()
{
    // Without a bus to reach, the connection fails at once instead of after a fork that finds
    // nothing to run (still before any other thread is started).
    const bool noBus = SessionBusOutOfReach();
    if (noBus)
        qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    m_codeThread = std::thread(MapCodeAhead);
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
    if (m_codeThread.joinable())
        m_codeThread.join();
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
        // The font list is shared by all threads; the GUI thread's first text would otherwise
        // read it. Font engines are not made here: they belong to the thread that makes them, and
        // making one holds the font database against the GUI thread.
        QFontDatabase::families();
        // The image format plugins, loaded once for all threads: the searching animation, shown
        // from the start, is read through them.
        const QString skin = SkinFolder();
        if (!skin.isEmpty())
            QImageReader(skin + QStringLiteral("update_p.gif")).canRead();
    });
}

void CStartupWarmUp::Join()
{
    if (m_thread.joinable())
        m_thread.join();
}
