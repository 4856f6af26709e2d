// The framework's one custom event: commands (273), notifications (78) and UI messages (275).
#pragma once

#include <QEvent>

class QObject;

// Event type, registered once before main runs.
QEvent::Type SFCustomEventType();

class CSFCustomEvent : public QEvent {
public:
    CSFCustomEvent(int message, int code, void* data, int value);
    ~CSFCustomEvent() override;

    int m_nMessage;
    int m_nCode;
    void* m_pData;  // never freed by the event
    int m_nValue;   // control id or UI message id
};

// Sends a command (273, code 0, id) synchronously to the widget's Qt parent, if any.
void SFSendCommandToParent(QObject* control, int id);
// Sends a message synchronously to the widget's Qt parent, if any.
void SFSendToParent(QObject* control, int message, int code, void* data, int value);
