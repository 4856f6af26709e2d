#include "Common/SFMessageControlQt.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QTimerEvent>

namespace VeyraBase {

bool CSFMessageControl_Qt::MsgQObject::event(QEvent* e)
{
    if (e->type() == static_cast<QEvent::Type>(WAKE_EVENT_TYPE) && m_pTimer && !m_pTimer->isActive())
        m_pTimer->start(0);
    return false;
}

bool CSFMessageControl_Qt::MsgQObject::eventFilter(QObject* /*watched*/, QEvent* e)
{
    if (e->type() == QEvent::Timer && m_pTimer &&
        static_cast<QTimerEvent*>(e)->timerId() == m_pTimer->timerId()) {
        m_pOwner->Run();
        return true;
    }
    return false;
}

CSFMessageControl_Qt::CSFMessageControl_Qt(const std::weak_ptr<CDelegate>& loop)
    : CSFMessageControl(loop), m_pMsgObject(new MsgQObject(this)), m_pTimer(new QTimer(m_pMsgObject))
{
    m_pMsgObject->m_pTimer = m_pTimer;
    m_pTimer->setInterval(0);
    m_pTimer->start(0);
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(m_pMsgObject);
}

CSFMessageControl_Qt::~CSFMessageControl_Qt()
{
    m_pMsgObject->m_pTimer = nullptr;
    delete m_pMsgObject;
}

void CSFMessageControl_Qt::Run()
{
    std::shared_ptr<CDelegate> loop = m_loop.lock();
    if (!loop)
        return;
    // The timer is re-armed around the task, so that a modal loop opened by the task gets fresh ticks
    // (a timer does not fire again while its own event is still being handled).
    m_pTimer->stop();
    if (loop->RunTaskA() || loop->RunTaskB()) {
        if (!m_pTimer->isActive())
            m_pTimer->start(0);
    }
}

void CSFMessageControl_Qt::Notify()
{
    QCoreApplication::postEvent(m_pMsgObject, new QEvent(static_cast<QEvent::Type>(WAKE_EVENT_TYPE)));
}

void CSFMessageControl_Qt::Stop() { m_pTimer->stop(); }

bool CSFMessageControl_Qt::IsTicking() const { return m_pTimer->isActive(); }

} // namespace VeyraBase
