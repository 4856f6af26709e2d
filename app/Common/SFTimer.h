// A Qt timer on the GUI thread that calls a plain callback with its timer id and a user pointer.
#pragma once

#include <QObject>

typedef void (*SFTimerCallback)(int timerId, void* userData);

class CSFTimer : public QObject {
public:
    explicit CSFTimer(QObject* parent = nullptr);
    ~CSFTimer() override;

    // Starts a repeating timer; returns its id (0 when none could be started). A running timer is
    // not stopped first: call StopTimer before starting again.
    int StartTimer(int intervalMs, SFTimerCallback callback, void* userData);
    void StopTimer();
    int GetTimerId() const { return m_nTimerId; }

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    SFTimerCallback m_pCallback = nullptr;
    void* m_pUserData = nullptr;
    int m_nTimerId = 0;
};
