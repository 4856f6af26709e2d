// Drives the modal dialogs that a call opens: each dialog that becomes the active modal widget
// is handed to the next step; a dialog with no step left is recorded and closed.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QImage>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "TaskLoops.h"
#include "Widgets/SFStatic.h"

namespace dlgtest {

inline bool WaitUntil(const std::function<bool()>& pred, int ms = 20000)
{
    return vxtest::PumpUntil(pred, ms);
}

// First non-empty label text of a dialog.
inline std::wstring DialogText(QWidget* dialog)
{
    for (QWidget* child : dialog->findChildren<QWidget*>())
        if (auto* label = dynamic_cast<CSFStatic*>(child)) {
            wchar_t buf[512] = {};
            label->GetStaticText(buf, 512);
            if (buf[0])
                return buf;
        }
    return {};
}

// The visible button of a dialog with this text, or null.
inline QAbstractButton* ButtonWithText(QWidget* dialog, const QString& text)
{
    for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>())
        if (b->isVisible() && b->text() == text)
            return b;
    return nullptr;
}

// A key press as the user makes it: to the dialog's focused child when it has one.
inline void Key(QWidget* dialog, int key)
{
    QWidget* target = dialog->focusWidget() ? dialog->focusWidget() : dialog;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
}

template <class T>
QWidget* W(T* control)
{
    return dynamic_cast<QWidget*>(control);
}

inline void SaveShot(QWidget* widget, const char* name)
{
    if (const char* dir = std::getenv("VX_SCREENSHOT_DIR"))
        widget->grab().save(QString::fromUtf8(dir) + "/" + name + ".png");
}

class ModalSteps {
public:
    using Step = std::function<void(QWidget*)>;
    ModalSteps()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
        m_timer.start(5);
    }
    void Add(Step step) { m_steps.push_back(std::move(step)); }
    size_t Left() const { return m_steps.size(); }
    // Dialogs that no step expected: their first text.
    std::vector<std::wstring> unexpected;

private:
    void Poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || std::find(m_busy.begin(), m_busy.end(), modal) != m_busy.end())
            return;
        if (m_steps.empty()) {
            unexpected.push_back(DialogText(modal));
            if (auto* d = qobject_cast<QDialog*>(modal))
                d->done(1);
            return;
        }
        auto step = std::make_shared<Step>(std::move(m_steps.front()));
        m_steps.pop_front();
        // The step runs from a timer of its own, so that this one keeps polling for the
        // dialogs that the step opens in turn; this dialog is not handed out twice meanwhile.
        m_busy.push_back(modal);
        QTimer::singleShot(0, modal, [this, modal, step] {
            (*step)(modal);
            m_busy.erase(std::find(m_busy.begin(), m_busy.end(), modal));
        });
    }
    QTimer m_timer;
    std::deque<Step> m_steps;
    std::vector<QWidget*> m_busy;
};

} // namespace dlgtest
