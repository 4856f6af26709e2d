// Helpers of the input, list and tree control tests: a page that records the messages its
// controls send, and an active offscreen window for focus-dependent behaviour.
#pragma once

#include <cstring>
#include <vector>

#include <QApplication>
#include <QTest>
#include <QWidget>

#include "Widgets/SFCustomEvent.h"
#include "Widgets/SFTypes.h"

struct SentMessage {
    int message;
    int code;
    int value;
    int row;     // SF_LIST_NOTIFY row, or the column of a sort notification
    int column;  // SF_LIST_NOTIFY column
    int data;    // SF_LIST_NOTIFY item data
};

class RecordingPage : public QWidget {
public:
    std::vector<SentMessage> sent;

    std::vector<SentMessage> Of(int message, int code) const
    {
        std::vector<SentMessage> out;
        for (const SentMessage& m : sent) {
            if (m.message == message && m.code == code)
                out.push_back(m);
        }
        return out;
    }

protected:
    void customEvent(QEvent* event) override
    {
        if (event->type() != SFCustomEventType())
            return;
        auto* e = static_cast<CSFCustomEvent*>(event);
        SentMessage m{e->m_nMessage, e->m_nCode, e->m_nValue, -1, -1, 0};
        if (e->m_nMessage == 78 && e->m_nCode == 9 && e->m_pData) {
            m.row = *static_cast<int*>(e->m_pData);
        } else if (e->m_nMessage == 78 && e->m_pData) {
            SF_LIST_NOTIFY n;
            std::memcpy(&n, e->m_pData, sizeof(n));
            m.row = n.iItem;
            m.column = n.iSubItem;
            m.data = n.lParam;
        }
        sent.push_back(m);
    }
};

// Shows the widget and waits until it is the active window.
inline bool ShowActive(QWidget* window)
{
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}
