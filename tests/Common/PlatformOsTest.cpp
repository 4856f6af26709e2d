// Crash reports of a faulting child and the optional log library.
#include "os/LogLibrary.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

// Runs a copy of the child program from `dir` so that its report lands there; returns its exit code.
int RunChild(const QString& dir, const char* mode)
{
    const QString exe = dir + "/crashchild";
    QFile::remove(exe);
    if (!QFile::copy(CRASH_CHILD_PATH, exe))
        return -1000;
    QFile::setPermissions(exe, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const std::string path = exe.toStdString();
    char* argv[] = {const_cast<char*>(path.c_str()), const_cast<char*>(mode), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ) != 0)
        return -1001;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

std::string ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}

TEST(CrashReport, FaultingChildLeavesItsReportAndExitCode)
{
    struct Case {
        const char* mode;
        int exitCode;
        const char* signal;
    } cases[] = {
        {"segv", 1, "signal 11 SIGSEGV"},
        {"abort", 1, "signal 6 SIGABRT"},
        {"fpe", 1, "signal 8 SIGFPE"},
        {"stack", 1, "signal 11 SIGSEGV"},
        {"nested", 23, "signal 11 SIGSEGV"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        QTemporaryDir dir;
        // An older report is replaced.
        QFile old(dir.path() + "/crashchild.dmp");
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old report");
        old.close();
        EXPECT_EQ(c.exitCode, RunChild(dir.path(), c.mode));
        const std::string report = ReadAll(dir.path() + "/crashchild.dmp");
        EXPECT_EQ(0u, report.find(std::string("Fatal fault: ") + c.signal)) << report;
        EXPECT_EQ(std::string::npos, report.find("old report"));
        if (c.exitCode == 1) {
            EXPECT_NE(std::string::npos, report.find("crashchild")) << report;
        }
    }
}

TEST(CrashReport, NormalExitWritesNothing)
{
    QTemporaryDir dir;
    EXPECT_EQ(0, RunChild(dir.path(), "none"));
    EXPECT_FALSE(QFile::exists(dir.path() + "/crashchild.dmp"));
}

std::vector<std::string> g_reports;
void Record(const char* caption, const char* text) { g_reports.push_back(std::string(caption) + "|" + text); }

TEST(LogLibrary, LoadsReportsAndUnloads)
{
    os::SetLogLibraryReporter(&Record);

    os::LoadLogDll("/nonexistent/libDIDod.so");
    EXPECT_EQ(nullptr, LogDllHandle);
    EXPECT_TRUE(g_reports.empty());

    os::LoadLogDll(LOG_FULL_PATH);
    ASSERT_NE(nullptr, LogDllHandle);
    ASSERT_NE(nullptr, SLogAEntry);
    SLogAEntry("CLogic::Task_Do", 12, 3, "%s=%d", "x", 5);
    auto last = reinterpret_cast<const char* (*)()>(dlsym(LogDllHandle, "TestLogLast"));
    ASSERT_NE(nullptr, last);
    EXPECT_STREQ("CLogic::Task_Do:12:3:x=5", last());
    os::UnloadLogDll();
    EXPECT_EQ(nullptr, LogDllHandle);
    EXPECT_TRUE(g_reports.empty());

    os::LoadLogDll(LOG_ONLY_A_PATH);
    EXPECT_EQ(nullptr, LogDllHandle);
    ASSERT_EQ(1u, g_reports.size());
    EXPECT_EQ("提示|加载DIDod.dll时；获取SLog函数地址失败！", g_reports[0]);
    os::UnloadLogDll();
    os::SetLogLibraryReporter(nullptr);
}

} // namespace
