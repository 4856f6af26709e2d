#include "Common/SFTimer.h"

#include <QTimerEvent>

CSFTimer::CSFTimer(QObject* parent) : QObject(parent) {}

CSFTimer::~CSFTimer() { StopTimer(); }

int CSFTimer::StartTimer(int intervalMs, SFTimerCallback callback, void* userData)
{
    m_pCallback = callback;
    m_pUserData = userData;
    m_nTimerId = startTimer(intervalMs);
    return m_nTimerId;
}

void CSFTimer::StopTimer()
{
    if (m_nTimerId != 0)
        killTimer(m_nTimerId);
    m_nTimerId = 0;
}

void CSFTimer::timerEvent(QTimerEvent* event)
{
    if (m_pCallback)
        m_pCallback(event->timerId(), m_pUserData);
}
