#include "Widgets/SFCustomEvent.h"

#include <QCoreApplication>
#include <QObject>

namespace {
const QEvent::Type g_customEventType = static_cast<QEvent::Type>(QEvent::registerEventType());
}

QEvent::Type SFCustomEventType()
{
    return g_customEventType;
}

CSFCustomEvent::CSFCustomEvent(int message, int code, void* data, int value)
    : QEvent(g_customEventType), m_nMessage(message), m_nCode(code), m_pData(data), m_nValue(value)
{
}

CSFCustomEvent::~CSFCustomEvent() {}

void SFSendToParent(QObject* control, int message, int code, void* data, int value)
{
    if (!control || !control->parent())
        return;
    CSFCustomEvent event(message, code, data, value);
    QCoreApplication::sendEvent(control->parent(), &event);
}

void SFSendCommandToParent(QObject* control, int id)
{
    SFSendToParent(control, 273, 0, nullptr, id);
}
