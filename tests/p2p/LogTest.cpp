#include "Infra3/CurrentThread.h"
#include "Infra3/PrintLog.h"
#include "LogCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace Orvan::Infra;

namespace {

void filter(std::vector<const char*> args)
{
    logFilterCommand(static_cast<int>(args.size()), args.data());
}

std::string tid()
{
    return "tid:" + std::to_string(currentThreadId()) + " ";
}

} // namespace

TEST(Log, LevelFilter)
{
    LogCapture log(3);
    EXPECT_EQ(0, logInfo("info\n"));
    EXPECT_EQ(0, logDebug("debug\n"));
    EXPECT_GT(logWarn("warn\n"), 0);
    EXPECT_GT(printError("error\n"), 0);
    EXPECT_EQ(0, logAtLevel(7, "m", "bad level\n"));
    filter({"-loglevel", "6"});
    EXPECT_GT(logDebug("debug\n"), 0);
    filter({"-loglevel", "0"});
    EXPECT_EQ(0, logFatal("fatal\n"));
    EXPECT_EQ(3u, log.lines().size());
}

TEST(Log, PrefixFormats)
{
    LogCapture log(6);
    int n = logWarn("hello %d\n", 5);
    ASSERT_EQ(1u, log.lines().size());
    std::string line = log.lines()[0];
    EXPECT_EQ(static_cast<int>(line.size()), n);
    EXPECT_TRUE(std::regex_match(line, std::regex("\\d\\d:\\d\\d:\\d\\d\\|\\[\\] \\[ver:\\] warn   " + tid() + "hello 5\n")))
        << line;
    logAtLevel(3, "P2P", "text\n");
    EXPECT_TRUE(std::regex_match(log.lines()[1], std::regex("\\d\\d:\\d\\d:\\d\\d\\|\\[P2P\\] \\[ver:\\] warn  " + tid() + "text\n")))
        << log.lines()[1];

    struct Case
    {
        int level;
        const char* file;
        const char* word;
    } cases[] = {
        {1, "C:\\src\\net\\Sock.cpp", "fatal "},
        {2, "/home/dev/src/net/Sock.cpp", "error "},
        {4, "Sock.cpp", "info "},
        {5, "src/Sock.cpp", "trace "},
    };
    for (const Case& c : cases) {
        LogCapture one(6);
        logModule(c.level, "net", c.file, "open", 42, "1.0", "m\n");
        ASSERT_EQ(1u, one.lines().size());
        std::string expected = std::string("[net] [ver:1.0] ") + c.word + "Sock.cpp open 42 " + tid() + "m\n";
        EXPECT_EQ(expected, one.lines()[0].substr(9)) << c.file;
    }

    PrintOptions bare = {};
    bare.noTime = bare.noModule = bare.noVersion = bare.noThreadId = bare.noFunction = bare.noColor = 1;
    setPrintOptions(bare);
    LogCapture plain(6);
    logInfo("plain\n");
    setPrintOptions(PrintOptions{});
    EXPECT_EQ("info  plain\n", plain.lines()[0]);
}

TEST(Log, TextWithoutNewlineContinuesTheLine)
{
    LogCapture log(6);
    logWarn("first ");
    logWarn("second\n");
    logWarn("third\n");
    std::vector<std::string> lines = log.lines();
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ("second\n", lines[1]);
    EXPECT_NE(std::string::npos, lines[0].find("warn   tid:"));
    EXPECT_NE(std::string::npos, lines[2].find("warn   tid:"));
}

TEST(Log, OverlongLineIsCut)
{
    LogCapture log(6);
    std::string big(10000, 'x');
    int n = logWarn("%s", big.c_str());
    EXPECT_EQ(8191, n);
    logWarn("next\n");
    EXPECT_NE(std::string::npos, log.lines()[1].find("warn   tid:"));
}

TEST(Log, ModuleFilter)
{
    LogCapture log(6);
    filter({"-logmodule", "net", "off"});
    EXPECT_EQ(0, logModule(3, "net", "a.cpp", "f", 1, "", "net\n"));
    EXPECT_GT(logModule(3, "ice", "a.cpp", "f", 1, "", "ice\n"), 0);
    EXPECT_GT(logWarn("plain\n"), 0);
    filter({"-logmodule", "NET", "ON"});
    filter({"-logmodule", "net", "On"});
    EXPECT_GT(logModule(3, "net", "a.cpp", "f", 1, "", "net\n"), 0);
    filter({"-logmodule", "off"});
    EXPECT_EQ(0, logModule(3, "ice", "a.cpp", "f", 1, "", "ice\n"));
    EXPECT_GT(logWarn("plain\n"), 0);
    filter({"-logmodule", "on"});
    EXPECT_GT(logModule(3, "ice", "a.cpp", "f", 1, "", "ice\n"), 0);
}

TEST(Log, PieceSwitchesByCommand)
{
    LogCapture log(6);
    filter({"-logtime", "off"});
    filter({"-logthread", "OFF"});
    filter({"-logversion", "off"});
    filter({"-logfunction", "off"});
    filter({"-logtime"}); // without its value: ignored
    logWarn("x\n");
    filter({"-logtime", "on"});
    filter({"-logthread", "on"});
    filter({"-logversion", "on"});
    filter({"-logfunction", "on"});
    EXPECT_EQ("[] warn  x\n", log.lines()[0]);
}

TEST(Log, UsageText)
{
    testing::internal::CaptureStdout();
    filter({});
    filter({"-h"});
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, out.find("logfilter command usage:\n"));
    EXPECT_NE(std::string::npos, out.find("logfiter -logsize [logsize] #log file max size limited to logsize Kbytes\n"));
    EXPECT_EQ(12, std::count(out.begin(), out.end(), '\n'));
}

namespace {
std::vector<std::string> s_callbackLines;
void callback(const char* line)
{
    s_callbackLines.push_back(line);
}
void otherCallback(const char*) {}
} // namespace

TEST(Log, PrintCallbacks)
{
    LogCapture log(6);
    PrintProc cb(&callback);
    EXPECT_TRUE(addPrintCallback(cb));
    EXPECT_FALSE(addPrintCallback(cb));
    EXPECT_TRUE(addPrintCallback(PrintProc(&otherCallback)));
    logWarn("seen\n");
    EXPECT_TRUE(removePrintCallback(cb));
    EXPECT_FALSE(removePrintCallback(cb));
    EXPECT_TRUE(removePrintCallback(PrintProc(&otherCallback)));
    logWarn("unseen\n");
    ASSERT_EQ(1u, s_callbackLines.size());
    EXPECT_EQ(log.lines()[0], s_callbackLines[0]);
}

TEST(Log, HexDumpRows)
{
    PrintOptions bare = {};
    bare.noTime = bare.noModule = bare.noVersion = bare.noThreadId = bare.noFunction = bare.noLevel = 1;
    setPrintOptions(bare);
    unsigned char bytes[32];
    for (int i = 0; i < 32; ++i)
        bytes[i] = static_cast<unsigned char>('A' + i);
    bytes[1] = 0x01;
    bytes[2] = 200;
    {
        LogCapture quiet(4);
        EXPECT_EQ(0, printHexDump(bytes, 32));
    }
    LogCapture log(5);
    printHexDump(bytes, 32);
    std::vector<std::string> lines = log.lines();
    setPrintOptions(PrintOptions{});
    ASSERT_EQ(3u, lines.size());
    char head[32];
    std::snprintf(head, sizeof(head), "%p: ", static_cast<void*>(bytes));
    EXPECT_EQ(std::string(head) + "41 01 c8 44 45 46 47 48 49 4a 4b 4c 4d 4e 4f 50   A..DEFGHIJKLMNOP\n", lines[0]);
    EXPECT_EQ("\n", lines[1]);
    std::snprintf(head, sizeof(head), "%p: ", static_cast<void*>(bytes + 16));
    EXPECT_EQ(std::string(head) + "51 52 53 54 55 56 57 58 59 5a 5b 5c 5d 5e 5f 60   QRSTUVWXYZ[\\]^_`\n", lines[2]);

    LogCapture partial(5);
    setPrintOptions(bare);
    logHexDump(bytes, 20);
    setPrintOptions(PrintOptions{});
    ASSERT_EQ(3u, partial.lines().size());
    EXPECT_NE(std::string::npos, partial.lines()[2].find("51 52 53 54 " + std::string(12 * 3, ' ') + "  QRST\n"));
}

TEST(Log, FileOutputWithSizeLimit)
{
    char dir[] = "/tmp/p2plogXXXXXX";
    ASSERT_NE(nullptr, mkdtemp(dir));
    std::string path = std::string(dir) + "/p2p.log";
    LogCapture log(6);
    filter({"-logpath", path.c_str()});
    filter({"-logsize", "1"});
    for (int i = 0; i < 40; ++i)
        logWarn("line %02d %s\n", i, std::string(40, 'z').c_str());
    closeLogFile();
    filter({"-logpath", ""});
    filter({"-logsize", "0"});
    std::ifstream in(path);
    std::stringstream content;
    content << in.rdbuf();
    std::string text = content.str();
    EXPECT_LT(text.size(), 1024u + 200u);
    EXPECT_NE(std::string::npos, text.find("line 39"));
    EXPECT_EQ(std::string::npos, text.find("line 00"));
    std::remove(path.c_str());
    rmdir(dir);
}

TEST(Log, ConcurrentPrintsKeepWholeLines)
{
    LogCapture log(6);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < 200; ++i)
                logWarn("thread %d line %d\n", t, i);
        });
    for (auto& th : threads)
        th.join();
    std::vector<std::string> lines = log.lines();
    ASSERT_EQ(800u, lines.size());
    for (const std::string& line : lines)
        EXPECT_EQ(1u, std::count(line.begin(), line.end(), '|')) << line;
}
