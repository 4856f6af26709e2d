#include "Widgets/SFFadeAnimation.h"

#include <QEasingCurve>
#include <QPropertyAnimation>

CSFFadeAnimation::CSFFadeAnimation(QObject* target) : m_target(target) {}

void CSFFadeAnimation::Start(bool enabled, bool widgetEnabled)
{
    if (!enabled)
        return;
    if (IsRunning() && !widgetEnabled)
        return;
    if (!m_animation) {
        // Owned by the control through its Qt parent.
        m_animation = new QPropertyAnimation(m_target, "picTransparence", m_target);
        m_animation->setDuration(300);
        m_animation->setKeyValueAt(0.0, 1.0f);
        m_animation->setKeyValueAt(0.5, 0.5f);
        m_animation->setKeyValueAt(1.0, 1.0f);
        m_animation->setEasingCurve(QEasingCurve::OutInBack);
    }
    m_animation->stop();
    m_animation->start(QAbstractAnimation::KeepWhenStopped);
}

bool CSFFadeAnimation::IsRunning() const
{
    return m_animation && m_animation->state() == QAbstractAnimation::Running;
}
