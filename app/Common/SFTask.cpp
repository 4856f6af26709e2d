#include "Common/SFTask.h"

#include <atomic>
#include <chrono>
#include <cstdio>

namespace VeyraBase {

namespace {

std::atomic<int> g_traceSwitch{0};
std::atomic<int> g_traceLevel{1};
std::atomic<TaskTraceSink> g_traceSink{nullptr};

// The brackets around the two name fields are the byte pairs A1 BE and A1 BF.
#define VX_LB "\xA1\xBE"
#define VX_RB "\xA1\xBF"

void WriteTrace(const char* line)
{
    TaskTraceSink sink = g_traceSink.load();
    if (sink) {
        sink(line);
    } else {
        fputs(line, stderr);
    }
}

bool TraceWanted(int taskLevel)
{
    return g_traceSwitch.load(std::memory_order_relaxed) != 0 && taskLevel <= g_traceLevel.load(std::memory_order_relaxed);
}

} // namespace

int64_t GetPerfCounter()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double GetPerfFrequency()
{
    static const double frequency = 1e9;
    return frequency;
}

void SetTaskTraceLevel(int level) { g_traceLevel.store(level); }
int GetTaskTraceLevel() { return g_traceLevel.load(); }
void SetTaskTraceSwitch(int on) { g_traceSwitch.store(on); }
int GetTaskTraceSwitch() { return g_traceSwitch.load(); }
void SetTaskTraceSink(TaskTraceSink sink) { g_traceSink.store(sink); }

CTaskBase::CTaskBase() : m_nCreateTime(GetPerfCounter()) {}

CTaskBase::~CTaskBase() = default;

std::string CTaskBase::GetLoopName() const
{
    switch (m_nLoopId) {
    case ML_MAIN:
        return "ML_MAIN";
    case ML_HELPER:
        return "ML_HELPER";
    case ML_SDK:
        return "ML_SDK";
    case ML_LOG:
        return "ML_LOG";
    default:
        return "UNKNOWN";
    }
}

void CTaskBase::TracePost()
{
    if (!TraceWanted(m_nLevel) || g_traceLevel.load() < 1)
        return;
    char line[256];
    snprintf(line, sizeof line,
             "[TaskInfo--%p]--|" VX_LB "%-15.15s" VX_RB "|" VX_LB "%-15.15s" VX_RB
             "|             |<%s> called by <%s> at file %s, line %d.\n",
             static_cast<void*>(this), GetLoopName().c_str(), "PostMessage", m_strTaskName.c_str(),
             m_strCallerName.c_str(), m_strFileName.c_str(), m_nLine);
    WriteTrace(line);
}

CSFTask::~CSFTask()
{
    if (!TraceWanted(m_nLevel) || g_traceLevel.load() < 2)
        return;
    char line[512];
    snprintf(line, sizeof line,
             "[TaskInfo--%p]--|" VX_LB "%-15.15s" VX_RB "|" VX_LB "%-15.15s" VX_RB "|             |<%s>.\n",
             static_cast<void*>(this), GetLoopName().c_str(), "Destroy", m_strTaskName.c_str());
    WriteTrace(line);
}

void CSFTask::TraceExecute(int64_t start)
{
    if (!TraceWanted(m_nLevel))
        return;
    const int64_t end = GetPerfCounter();
    const double frequency = GetPerfFrequency();
    const double queueMs = double(start - m_nCreateTime) / frequency * 1000.0;
    const double execMs = double(end - start) / frequency * 1000.0;
    const int level = g_traceLevel.load();
    char cost[64];
    char line[512];
    const char* format = "[TaskInfo--%p]--|" VX_LB "%-15.15s" VX_RB "|" VX_LB "%-15.15s" VX_RB "|%13.13s|<%s>.\n";
    if (level >= 2) {
        snprintf(cost, sizeof cost, "%-.2f ms", queueMs);
        snprintf(line, sizeof line, format, static_cast<void*>(this), GetLoopName().c_str(), "Queue Cost", cost,
                 m_strTaskName.c_str());
        WriteTrace(line);
    }
    if (level >= 1) {
        snprintf(cost, sizeof cost, "%-.2f ms", execMs);
        snprintf(line, sizeof line, format, static_cast<void*>(this), GetLoopName().c_str(), "Execute Cost", cost,
                 m_strTaskName.c_str());
        WriteTrace(line);
    }
}

void SetTaskDebugInfo(const std::shared_ptr<CSFTask>& task, int loopId, const std::string& file, int line,
                      const std::string& taskName, const std::string& callerName, int level)
{
    if (g_traceSwitch.load(std::memory_order_relaxed) == 0 || !task)
        return;
    task->SetLoopId(loopId);
    task->SetFileName(file);
    task->SetLine(line);
    task->SetTaskName(taskName);
    task->SetCallerName(callerName);
    task->SetLevel(level);
    task->TracePost();
}

} // namespace VeyraBase
