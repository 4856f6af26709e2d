// Trace lines of tasks: formats and the level rules.
#include "Common/SFTask.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

using namespace VeyraBase;

namespace {

std::vector<std::string> g_lines;
void Capture(const char* line) { g_lines.emplace_back(line); }

class Trace : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_lines.clear();
        SetTaskTraceSink(&Capture);
    }
    void TearDown() override
    {
        SetTaskTraceSwitch(0);
        SetTaskTraceLevel(1);
        SetTaskTraceSink(nullptr);
    }
};

std::string Word(const std::string& line)
{
    static const std::regex field("\\]--\\|\xA1\xBE[^\xA1]*\xA1\xBF\\|\xA1\xBE([^\xA1]*)\xA1\xBF\\|");
    std::smatch m;
    return std::regex_search(line, m, field) ? m[1].str() : std::string("?");
}

// Runs one traced task through post, execute and destroy; returns the event words written.
std::vector<std::string> RunTraced(int globalLevel, int taskLevel, int loopId = ML_SDK)
{
    g_lines.clear();
    SetTaskTraceSwitch(1);
    SetTaskTraceLevel(globalLevel);
    int calls = 0;
    {
        std::shared_ptr<CSFTask> task = std::make_shared<CSFConcreteTask<int>>([&calls] { ++calls; });
        SetTaskDebugInfo(task, loopId, "Post.cpp", 42, "&CLogic::Task_Do_Ret", "CLogic::Task_Do", taskLevel);
        EXPECT_EQ(1, task->Execute());
    }
    EXPECT_EQ(1, calls);
    std::vector<std::string> words;
    for (const auto& line : g_lines)
        words.push_back(Word(line));
    return words;
}

TEST_F(Trace, LevelsDecideWhichLinesAppear)
{
    struct Case {
        int global, task;
        std::vector<std::string> words;
    } cases[] = {
        {1, 1, {"PostMessage    ", "Execute Cost   "}},
        {2, 1, {"PostMessage    ", "Queue Cost     ", "Execute Cost   ", "Destroy        "}},
        {2, 3, {}},
        {1, 3, {}},
        {0, 1, {}},
        {3, 3, {"PostMessage    ", "Queue Cost     ", "Execute Cost   ", "Destroy        "}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.global) + "/" + std::to_string(c.task));
        EXPECT_EQ(c.words, RunTraced(c.global, c.task));
    }
}

TEST_F(Trace, LineFormats)
{
    RunTraced(2, 1, ML_HELPER);
    ASSERT_EQ(4u, g_lines.size());
    const std::string head = "\\[TaskInfo--0x[0-9a-f]+\\]--\\|\xA1\xBEML_HELPER      \xA1\xBF\\|\xA1\xBE";
    EXPECT_TRUE(std::regex_match(g_lines[0], std::regex(head + "PostMessage    \xA1\xBF\\|             \\|<&CLogic::Task_Do_Ret> called by <CLogic::Task_Do> at file Post.cpp, line 42.\n")))
        << g_lines[0];
    EXPECT_TRUE(std::regex_match(g_lines[1], std::regex(head + "Queue Cost     \xA1\xBF\\|(?=[0-9. ms]{13}\\|) *[0-9]+\\.[0-9]{2} ms\\|<&CLogic::Task_Do_Ret>.\n")))
        << g_lines[1];
    EXPECT_TRUE(std::regex_match(g_lines[2], std::regex(head + "Execute Cost   \xA1\xBF\\|(?=[0-9. ms]{13}\\|) *[0-9]+\\.[0-9]{2} ms\\|<&CLogic::Task_Do_Ret>.\n")))
        << g_lines[2];
    EXPECT_TRUE(std::regex_match(g_lines[3], std::regex(head + "Destroy        \xA1\xBF\\|             \\|<&CLogic::Task_Do_Ret>.\n")))
        << g_lines[3];
}

TEST_F(Trace, UnknownLoopIdsAreNamedUnknown)
{
    for (int id : {0, 5, -1}) {
        RunTraced(1, 1, id);
        ASSERT_FALSE(g_lines.empty());
        EXPECT_NE(std::string::npos, g_lines[0].find("\xA1\xBEUNKNOWN        \xA1\xBF")) << id;
    }
}

TEST_F(Trace, TracingOffLeavesTheTaskUntouched)
{
    SetTaskTraceSwitch(0);
    SetTaskTraceLevel(3);
    auto task = std::make_shared<CSFConcreteTask<int>>([] {});
    SetTaskDebugInfo(task, ML_MAIN, "a.cpp", 7, "&A::B", "A::C", 1);
    EXPECT_EQ(0, task->GetLine());
    EXPECT_EQ("", task->GetFileName());
    EXPECT_EQ("", task->GetTaskName());
    EXPECT_EQ(1, task->GetLevel());
    EXPECT_EQ("UNKNOWN", task->GetLoopName());
    EXPECT_EQ(1, task->Execute());
    task.reset();
    EXPECT_TRUE(g_lines.empty());
}

TEST_F(Trace, LongNamesAreCutWithinTheBuffer)
{
    SetTaskTraceSwitch(1);
    SetTaskTraceLevel(2);
    const std::string longName(2000, 'x');
    auto task = std::make_shared<CSFConcreteTask<int>>([] {});
    SetTaskDebugInfo(task, ML_MAIN, longName, 1, longName, longName, 1);
    task->Execute();
    task.reset();
    ASSERT_EQ(4u, g_lines.size());
    EXPECT_EQ(255u, g_lines[0].size());
    for (size_t i = 1; i < 4; ++i)
        EXPECT_EQ(511u, g_lines[i].size());
}

} // namespace
