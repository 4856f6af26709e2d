// Tasks: one bound call posted to a numbered message loop and run there once.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace VeyraBase {

// Loop ids.
enum { ML_MAIN = 1, ML_HELPER = 2, ML_SDK = 3, ML_LOG = 4 };

class CTaskBase {
public:
    CTaskBase();
    virtual ~CTaskBase();

    std::string GetFileName() const { return m_strFileName; }
    std::string GetTaskName() const { return m_strTaskName; }
    std::string GetCallerName() const { return m_strCallerName; }
    int GetLine() const { return m_nLine; }
    int GetLoopId() const { return m_nLoopId; }
    int64_t GetCreateTime() const { return m_nCreateTime; }
    int GetLevel() const { return m_nLevel; }
    std::string GetLoopName() const;

    void SetLoopId(int id) { m_nLoopId = id; }
    void SetFileName(const std::string& s) { m_strFileName = s; }
    void SetLine(int line) { m_nLine = line; }
    void SetTaskName(const std::string& s) { m_strTaskName = s; }
    void SetCallerName(const std::string& s) { m_strCallerName = s; }
    void SetLevel(int level) { m_nLevel = level; }

    // Writes the post line (tracing on and level permitting).
    void TracePost();

protected:
    std::string m_strFileName;
    int32_t m_nLine = 0;
    std::string m_strTaskName;
    std::string m_strCallerName;
    int32_t m_nLoopId = 0;
    int64_t m_nCreateTime = 0;
    int32_t m_nLevel = 1;
};

class CSFTask : public CTaskBase {
public:
    CSFTask() = default;
    ~CSFTask() override;
    CSFTask(const CSFTask&) = delete;
    CSFTask& operator=(const CSFTask&) = delete;

    // Runs the bound call once; returns 1.
    virtual int Execute() = 0;

protected:
    // Cost lines after a run that started at `start` and ended now.
    void TraceExecute(int64_t start);
};

typedef std::function<void()> SFTaskCall;

template <class T>
class CSFConcreteTask : public CSFTask {
public:
    CSFConcreteTask(const SFTaskCall& call, const std::shared_ptr<T>& owner) : m_call(call), m_owner(owner) {}
    explicit CSFConcreteTask(const SFTaskCall& call) : m_call(call) {}
    ~CSFConcreteTask() override
    {
        m_owner.reset();
        m_call = nullptr;
    }

    int Execute() override
    {
        const int64_t start = TraceStart();
        if (m_call)
            m_call();
        TraceExecute(start);
        return 1;
    }

private:
    static int64_t TraceStart();

    SFTaskCall m_call;
    std::shared_ptr<T> m_owner;
};

int64_t GetPerfCounter();
double GetPerfFrequency();

template <class T>
int64_t CSFConcreteTask<T>::TraceStart()
{
    return GetPerfCounter();
}

template <class T>
std::shared_ptr<CSFTask> CreateTask(const SFTaskCall& call, const std::shared_ptr<T>& owner)
{
    return std::make_shared<CSFConcreteTask<T>>(call, owner);
}

// Stores trace data in the task and writes its post line; does nothing while tracing is off.
void SetTaskDebugInfo(const std::shared_ptr<CSFTask>& task, int loopId, const std::string& file, int line,
                      const std::string& taskName, const std::string& callerName, int level);
void SetTaskTraceLevel(int level);
int GetTaskTraceLevel();
// The trace switch: 0 off (the start-up value), nonzero on.
void SetTaskTraceSwitch(int on);
int GetTaskTraceSwitch();

// Where trace lines go; stderr when none is set. Lines are narrow, byte for byte.
typedef void (*TaskTraceSink)(const char* line);
void SetTaskTraceSink(TaskTraceSink sink);

} // namespace VeyraBase
