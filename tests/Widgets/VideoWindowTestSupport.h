// Helpers of the video window tests: a sink that records every event as text, mouse input
// delivered the way the toolkit does (to the child under the cursor, grabbed by the pressed
// widget, propagated to the parents), and frames of solid quadrants.
#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

#include "Widgets/SFVideoWindow.h"

class RecordingVideoSink : public ISFVideoWindowEvent {
public:
    std::vector<std::string> events;

    void OnLayoutChanged() override { Add("layout"); }
    void OnBnClickedVideoClose(int index, int id) override { Add("close", index, id); }
    void OnBnClickedVideoSnap(int index, int id) override { Add("snap", index, id); }
    void OnBnClickedVideoRecord(int index, int id, int checked) override { Add("record", index, id, checked); }
    void OnBnClickedVideoProperty(int index, int id) override { Add("property", index, id); }
    void OnFocusWndChanged(int now, int before) override { Add("focus", now, before); }
    void OnSubWndExchanged(int out, int in) override { Add("exchange", out, in); }
    void OnSubWinBoundChanged(int id) override { Add("bound", id); }
    void VideoWidow_OnLButtonDown(int index, int id, POINT&) override { Add("down", index, id); }
    void VideoWidow_OnLButtonUp(int index, int id, POINT&) override { Add("up", index, id); }

    // Events other than layout changes, since the last call.
    std::vector<std::string> Take(bool withLayout = false)
    {
        std::vector<std::string> out;
        for (const std::string& e : events) {
            if (withLayout || e != "layout")
                out.push_back(e);
        }
        events.clear();
        return out;
    }

private:
    void Add(const char* name, int a = INT32_MIN, int b = INT32_MIN, int c = INT32_MIN)
    {
        std::string e = name;
        for (int v : {a, b, c}) {
            if (v != INT32_MIN)
                e += " " + std::to_string(v);
        }
        events.push_back(e);
    }
};

class MouseDriver {
public:
    explicit MouseDriver(QWidget* top) : m_top(top) {}

    void Press(QPoint pos, Qt::MouseButton button = Qt::LeftButton)
    {
        m_grabber = At(pos);
        m_buttons |= button;
        Send(QEvent::MouseButtonPress, pos, button);
    }
    void Release(QPoint pos, Qt::MouseButton button = Qt::LeftButton)
    {
        m_buttons &= ~button;
        Send(QEvent::MouseButtonRelease, pos, button);
        m_grabber = nullptr;
    }
    void Move(QPoint pos) { Send(QEvent::MouseMove, pos, Qt::NoButton); }
    void Click(QPoint pos, Qt::MouseButton button = Qt::LeftButton)
    {
        Press(pos, button);
        Release(pos, button);
    }
    void Drag(QPoint from, QPoint to)
    {
        Press(from);
        Move(to);
        Release(to);
    }
    // Wheel events that a widget ignores go to its parents, as the toolkit does for real ones.
    void Wheel(QPoint pos, int delta)
    {
        for (QWidget* w = At(pos); w; w = w == m_top ? nullptr : w->parentWidget()) {
            QWheelEvent e(w->mapFrom(m_top, QPointF(pos)), m_top->mapToGlobal(QPointF(pos)), QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(w, &e);
            if (e.isAccepted())
                break;
        }
    }

private:
    QWidget* At(QPoint pos) const
    {
        QWidget* child = m_top->childAt(pos);
        return child ? child : m_top;
    }
    void Send(QEvent::Type type, QPoint pos, Qt::MouseButton button)
    {
        QWidget* target = m_grabber ? m_grabber : At(pos);
        QMouseEvent e(type, target->mapFrom(m_top, QPointF(pos)), m_top->mapToGlobal(QPointF(pos)), button, m_buttons,
                      Qt::NoModifier);
        QApplication::sendEvent(target, &e);
    }

    QWidget* m_top;
    QWidget* m_grabber = nullptr;
    Qt::MouseButtons m_buttons;
};

// A width x height RGB32 frame whose quadrants are the four colours, left to right, top to bottom.
inline std::vector<uint32_t> QuadrantFrame(int width, int height, const uint32_t (&colours)[4])
{
    std::vector<uint32_t> frame(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            frame[static_cast<size_t>(y) * width + x] = colours[(y >= height / 2) * 2 + (x >= width / 2)];
    }
    return frame;
}
