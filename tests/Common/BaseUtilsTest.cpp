// Conversion, events, threads, files, time, timers and the completion token.
#include "Common/SFEvent.h"
#include "Common/SFFile.h"
#include "Common/SFStreamConvert.h"
#include "Common/SFSystem.h"
#include "Common/SFThread.h"
#include "Common/SFTime.h"
#include "Common/SFTimer.h"
#include "Common/SynSmartPtr.h"
#include "os/ShellOpen.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>

using namespace SF_SOFT_BASE;

namespace {

TEST(StreamConvert, Utf8BothWays)
{
    CSFStreamConvert wide(L"Größe", SF_CP_UTF8);
    ASSERT_EQ(7u, strlen(wide.GetMultiByte()));
    EXPECT_EQ("Gr\xC3\xB6\xC3\x9F" "e", wide.GetStdString());
    EXPECT_STREQ(L"Größe", wide.GetWideChar());
    CSFStreamConvert back(wide.GetMultiByte(), SF_CP_UTF8);
    EXPECT_EQ(5u, wcslen(back.GetWideChar()));
    EXPECT_STREQ(L"Größe", back.GetWideChar());

    CSFStreamConvert empty(L"", SF_CP_ACP);
    EXPECT_STREQ("", empty.GetMultiByte());
    EXPECT_STREQ(L"", empty.GetWideChar());
    CSFStreamConvert emptyNarrow("", SF_CP_UTF8);
    EXPECT_STREQ(L"", emptyNarrow.GetWideChar());

    char* refilled = back.FromWideChar(L"x\u4e2d", SF_CP_ACP);
    EXPECT_EQ(refilled, back.GetMultiByte());
    EXPECT_STREQ("x\xE4\xB8\xAD", refilled);

    CSFStreamConvert broken("a\xFFz", SF_CP_UTF8);
    EXPECT_STREQ(L"a\uFFFDz", broken.GetWideChar());
}

TEST(Event, WaitResults)
{
    CSFEvent none;
    EXPECT_EQ(-1, none.Wait(0));
    EXPECT_EQ(0, none.Set());

    CSFEvent manual;
    ASSERT_EQ(1, manual.Create(0, 1));
    EXPECT_EQ(258, manual.Wait(1));
    manual.Set();
    EXPECT_EQ(0, manual.Wait(0));
    EXPECT_EQ(0, manual.Wait(0));
    manual.Reset();
    EXPECT_EQ(258, manual.Wait(0));

    CSFEvent automatic;
    automatic.Create(1, 0);
    EXPECT_EQ(0, automatic.Wait(0));
    EXPECT_EQ(258, automatic.Wait(0));
    EXPECT_EQ(1, automatic.Close());
    EXPECT_EQ(-1, automatic.Wait(0));
    EXPECT_EQ(1, automatic.Close());
}

std::atomic<int> g_started{0};
unsigned Body(void* param)
{
    ++g_started;
    static_cast<CSFEvent*>(param)->Wait(SF_INFINITE);
    return 7;
}

TEST(Thread, StartsOnceAndItsEndCanBeAwaited)
{
    CSFEvent release;
    release.Create(0, 1);
    CSFThread thread;
    unsigned id = 0;
    EXPECT_EQ(1, thread.Start(0, &Body, &release, 0, &id));
    EXPECT_EQ(1, thread.Start(0, &Body, &release, 0, nullptr));
    EXPECT_NE(0u, id);
    SFThreadData* data = thread.GetThreadData();
    ASSERT_TRUE(data->hThread);
    EXPECT_EQ(1, data->bStarted);
    EXPECT_EQ(258, data->hThread->Wait(1));
    release.Set();
    EXPECT_EQ(0, data->hThread->Wait(20000));
    EXPECT_EQ(7u, data->hThread->ExitCode());
    EXPECT_EQ(1, g_started.load());
}

TEST(File, ReadSeekAndSize)
{
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/f.bin";
    {
        std::ofstream out(path, std::ios::binary);
        for (int i = 0; i < 100; ++i)
            out.put(char(i));
    }
    CSFFile file;
    EXPECT_EQ(-1, file.Close());
    EXPECT_EQ(0, file.Open((path + ".missing").c_str(), SF_GENERIC_READ, SF_FILE_SHARE_READ, SF_OPEN_EXISTING, 0x80));
    ASSERT_EQ(1, file.Open(path.c_str(), SF_GENERIC_READ, SF_FILE_SHARE_READ, SF_OPEN_EXISTING, 0x80));
    uint32_t high = 9, low = 0;
    EXPECT_EQ(1, file.SeekToEnd(&high, &low));
    EXPECT_EQ(0u, high);
    EXPECT_EQ(100u, low);
    EXPECT_EQ(1, file.Seek(16, 0, SF_FILE_END));
    unsigned char buf[32];
    memset(buf, 0xEE, sizeof buf);
    EXPECT_EQ(16, file.Read(buf, 20));
    EXPECT_EQ(84, buf[0]);
    EXPECT_EQ(99, buf[15]);
    EXPECT_EQ(0, buf[16]);
    EXPECT_EQ(0xEE, buf[17]);
    // A full read writes nothing past the count.
    file.Seek(0, 0, SF_FILE_BEGIN);
    memset(buf, 0xEE, sizeof buf);
    EXPECT_EQ(8, file.Read(buf, 8));
    EXPECT_EQ(7, buf[7]);
    EXPECT_EQ(0xEE, buf[8]);
    EXPECT_EQ(1, file.Close());
    EXPECT_EQ(0, file.Read(buf, 8));
}

TEST(Time, ToTime64FollowsLocalTimeWithoutClamping)
{
    setenv("TZ", "UTC", 1);
    tzset();
    EXPECT_EQ(0, CSFTime(1970, 1, 1, 0, 0, 0).ToTime64());
    EXPECT_EQ(1717243200, CSFTime(2024, 6, 1, 12, 0, 0).ToTime64());
    EXPECT_EQ(2222164800, CSFTime(2040, 6, 1, 12, 0, 0).ToTime64());
    EXPECT_EQ(2147483648, CSFTime(2038, 1, 19, 3, 14, 8).ToTime64());
    EXPECT_EQ(0, CSFTime(1969, 12, 31, 0, 0, 0).ToTime64());
    const CSFTime now = CSFTime::GetCurrentTime();
    EXPECT_LE(std::abs(now.ToTime64() - int64_t(time(nullptr))), 5);
    unsetenv("TZ");
    tzset();
}

TEST(SynSmartPtr, SetsTheEventWhenTheLastHolderGoes)
{
    auto event = std::make_shared<CSFEvent>();
    event->Create(0, 1);
    auto token = std::make_shared<SynSmartPtr>(event);
    auto copy = token;
    token.reset();
    EXPECT_EQ(258, event->Wait(0));
    copy.reset();
    EXPECT_EQ(0, event->Wait(0));

    auto orphan = std::make_shared<SynSmartPtr>(std::make_shared<CSFEvent>());
    orphan.reset();
}

struct RecordingShell : os::IDesktopShell {
    bool Open(const std::string& target) override
    {
        opened = target;
        return starts;
    }
    std::string opened;
    bool starts = true;
};

TEST(System, OpenGoesToTheDesktopShellAndTellsWhetherItStarted)
{
    RecordingShell shell;
    os::SetDesktopShell(&shell);
    EXPECT_TRUE(CSFSystem::OpenFile("/opt/app/Manual/Operation Manual.pdf"));
    EXPECT_EQ("/opt/app/Manual/Operation Manual.pdf", shell.opened);
    shell.starts = false;
    EXPECT_FALSE(CSFSystem::OpenFile("/opt/app/Manual/Operation Manual.pdf"));
    EXPECT_FALSE(CSFSystem::OpenFile(nullptr));
    os::SetDesktopShell(nullptr);
}

void CountTick(int id, void* user)
{
    auto* data = static_cast<std::pair<int, int>*>(user);
    data->first = id;
    ++data->second;
}

TEST(Timer, CallsBackUntilStopped)
{
    CSFTimer timer;
    timer.StopTimer();
    std::pair<int, int> seen{0, 0};
    const int id = timer.StartTimer(1, &CountTick, &seen);
    ASSERT_NE(0, id);
    QElapsedTimer clock;
    clock.start();
    while (seen.second < 3 && clock.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_GE(seen.second, 3);
    EXPECT_EQ(id, seen.first);
    timer.StopTimer();
    EXPECT_EQ(0, timer.GetTimerId());
    const int count = seen.second;
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_EQ(count, seen.second);
}

} // namespace
