// The driver of one message loop: wakes the loop's thread and runs its tasks.
#pragma once

#include <memory>

namespace VeyraBase {

class CSFMessageControl {
public:
    // What a loop offers its driver.
    class CDelegate {
    public:
        virtual int RunTaskA() = 0;
        virtual int Reserved() = 0;
        virtual int RunTaskB() = 0;
        virtual int IsIdle() = 0;

    protected:
        ~CDelegate() = default;
    };

    explicit CSFMessageControl(const std::weak_ptr<CDelegate>& loop) : m_loop(loop) {}
    virtual ~CSFMessageControl() = default;
    CSFMessageControl(const CSFMessageControl&) = delete;
    CSFMessageControl& operator=(const CSFMessageControl&) = delete;

    virtual void Run() = 0;
    // A task was posted; callable from any thread.
    virtual void Notify() = 0;
    virtual void Stop() = 0;
    virtual void Wake() {}

protected:
    std::weak_ptr<CDelegate> m_loop;
};

} // namespace VeyraBase
