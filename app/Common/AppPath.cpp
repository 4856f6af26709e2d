#include "Common/AppPath.h"

#include <QCoreApplication>
#include <QPointer>

#include <mutex>

namespace {
std::mutex g_lock;
QPointer<QCoreApplication> g_app;
std::wstring g_path;

std::wstring Normalise(std::wstring path)
{
    for (auto& c : path) {
        if (c == L'\\')
            c = L'/';
    }
    while (path.size() > 1 && path.back() == L'/')
        path.pop_back();
    return path;
}
} // namespace

std::wstring SFGetAppPath()
{
    std::lock_guard<std::mutex> lock(g_lock);
    if (g_app)
        g_path = Normalise(QCoreApplication::applicationDirPath().toStdWString());
    return g_path;
}

void SFRememberApplication(QCoreApplication* app)
{
    std::lock_guard<std::mutex> lock(g_lock);
    g_app = app;
}

void SFSetAppPathForTest(const std::wstring& path)
{
    std::lock_guard<std::mutex> lock(g_lock);
    g_app = nullptr;
    g_path = Normalise(path);
}
