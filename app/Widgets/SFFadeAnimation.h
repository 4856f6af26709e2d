// The 300 ms opacity dip of image buttons and radio boxes. One animation object per control,
// restarted on each start, so a quick re-entry never leaves a stale animation behind.
#pragma once

#include <QObject>

class QPropertyAnimation;
class QWidget;

class CSFFadeAnimation {
public:
    // target must expose the float property "picTransparence".
    explicit CSFFadeAnimation(QObject* target);
    // Starts (or restarts) the dip unless it is disabled; a running dip of a disabled control
    // is left alone.
    void Start(bool enabled, bool widgetEnabled);
    bool IsRunning() const;

private:
    QObject* m_target;
    QPropertyAnimation* m_animation = nullptr;
};
