#include "os/ShellOpen.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

#include <atomic>

namespace os {

namespace {
std::atomic<ShellOpenHandler> g_handler{nullptr};
}

void SetShellOpenHandler(ShellOpenHandler handler) { g_handler.store(handler); }

void ShellOpen(const std::string& target)
{
    if (ShellOpenHandler handler = g_handler.load()) {
        handler(target);
        return;
    }
    const QString text = QString::fromUtf8(target.c_str());
    QDesktopServices::openUrl(QUrl::fromUserInput(text, QDir::currentPath(), QUrl::AssumeLocalFile));
}

} // namespace os
