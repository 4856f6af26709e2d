#include "os/LogLibrary.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <dlfcn.h>
#include <string>
#include <unistd.h>

void* LogDllHandle = nullptr;
SLogAFunc SLogAEntry = nullptr;

namespace os {

const char* const kLogLibraryName = "libDIDod.so";

namespace {

void DefaultReporter(const char* caption, const char* text)
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        QMessageBox::information(nullptr, QString::fromUtf8(caption), QString::fromUtf8(text));
        return;
    }
    fprintf(stderr, "%s: %s\n", caption, text);
}

LogLibraryReporter g_reporter = &DefaultReporter;

std::string DefaultPath()
{
    char exe[4096];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0)
        return kLogLibraryName;
    exe[n] = 0;
    std::string dir(exe);
    const size_t slash = dir.find_last_of('/');
    return (slash == std::string::npos ? std::string(".") : dir.substr(0, slash)) + "/" + kLogLibraryName;
}

void Reject(const char* text)
{
    g_reporter("提示", text);
    dlclose(LogDllHandle);
    LogDllHandle = nullptr;
    SLogAEntry = nullptr;
}

} // namespace

void SetLogLibraryReporter(LogLibraryReporter reporter) { g_reporter = reporter ? reporter : &DefaultReporter; }

void LoadLogDll(const char* path)
{
    if (LogDllHandle)
        return;
    const std::string file = path ? std::string(path) : DefaultPath();
    LogDllHandle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!LogDllHandle)
        return;
    void* wide = dlsym(LogDllHandle, "SLogW");
    SLogAEntry = reinterpret_cast<SLogAFunc>(dlsym(LogDllHandle, "SLogA"));
    if (!wide)
        Reject("加载DIDod.dll时；获取SLog函数地址失败！");
    else if (!SLogAEntry)
        Reject("加载DIDod.dll时；获取SLogA函数地址失败！");
}

void UnloadLogDll()
{
    if (!LogDllHandle)
        return;
    dlclose(LogDllHandle);
    LogDllHandle = nullptr;
    SLogAEntry = nullptr;
}

} // namespace os
