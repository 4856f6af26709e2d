// GUI-thread driver: a post sends event 9393, which starts a 0 ms timer; an application event filter
// takes each tick and runs one task, so tasks also run inside nested loops of modal dialogs.
#pragma once

#include "Common/SFMessageControl.h"

#include <QObject>

class QTimer;

namespace VeyraBase {

class CSFMessageControl_Qt : public CSFMessageControl {
public:
    enum { WAKE_EVENT_TYPE = 9393 };

    class MsgQObject : public QObject {
    public:
        explicit MsgQObject(CSFMessageControl_Qt* owner) : m_pOwner(owner) {}
        QTimer* m_pTimer = nullptr;

    protected:
        bool event(QEvent* e) override;
        bool eventFilter(QObject* watched, QEvent* e) override;

    private:
        CSFMessageControl_Qt* m_pOwner;
    };

    // Call on the GUI thread, after the application object exists.
    explicit CSFMessageControl_Qt(const std::weak_ptr<CDelegate>& loop);
    ~CSFMessageControl_Qt() override;

    // One tick: runs at most one task; stops the timer when there was none.
    void Run() override;
    void Notify() override;
    void Stop() override;
    void Wake() override { Notify(); }

    bool IsTicking() const;

private:
    MsgQObject* m_pMsgObject;
    QTimer* m_pTimer;
};

} // namespace VeyraBase
