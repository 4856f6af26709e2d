#include "os/ShellOpen.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

#include <atomic>

namespace os {

namespace {

class QtDesktopShell : public IDesktopShell {
public:
    bool Open(const std::string& target) override
    {
        const QString text = QString::fromUtf8(target.c_str());
        return QDesktopServices::openUrl(QUrl::fromUserInput(text, QDir::currentPath(), QUrl::AssumeLocalFile));
    }
};

std::atomic<IDesktopShell*> g_shell{nullptr};

} // namespace

void SetDesktopShell(IDesktopShell* shell) { g_shell.store(shell); }

bool ShellOpen(const std::string& target)
{
    if (IDesktopShell* shell = g_shell.load())
        return shell->Open(target);
    static QtDesktopShell desktop;
    return desktop.Open(target);
}

} // namespace os
