// Unattended run of the program for the screenshot test and the start-up benchmark. With
// VX_SELFTEST_SCREENSHOT set to a PNG path, it writes "first-paint-epoch-ms=<ms>" and
// "first-paint-epoch-us=<µs>" to stderr at the
// main window's first paint, saves what the screen shows of the main window to that path after
// VX_SELFTEST_DELAY_MS (default 1500) ms, clicks the tool bar's close button and, once the window
// has closed, writes "peak-rss-kib=<KiB>". Without the variable it is the plain program.
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <cstring>

#include "Main/CMainFrameEventImp.h"
#include "Main/ProgramMain.h"
#include "Main/CToolBarEventImp.h"

namespace {

class FirstPaintWatcher : public QObject {
public:
    FirstPaintWatcher(std::weak_ptr<CMainFrameEventImp> frame, QString path, int delayMs)
        : m_frame(std::move(frame)), m_path(std::move(path)), m_delayMs(delayMs)
    {
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            const auto now = std::chrono::system_clock::now().time_since_epoch();
            const long long us = std::chrono::duration_cast<std::chrono::microseconds>(now).count();
            std::fprintf(stderr, "first-paint-epoch-ms=%lld\nfirst-paint-epoch-us=%lld\n", us / 1000, us);
            std::fflush(stderr);
            QTimer::singleShot(m_delayMs, this, [this] { ShootAndClose(); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void ShootAndClose()
    {
        std::shared_ptr<CMainFrameEventImp> frame = m_frame.lock();
        if (!frame)
            return;
        auto* window = static_cast<QWidget*>(frame->GetUIWnd());
        if (window && window->screen()) {
            const QRect area = window->frameGeometry();
            QPixmap shot = window->screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
            if (!shot.save(m_path, "PNG"))
                std::fprintf(stderr, "screenshot: cannot write %s\n", m_path.toLocal8Bit().constData());
        }
        // A real click on the close button, through the button's own event handling.
        std::shared_ptr<CToolBarEventImp> bar = frame->GetToolBar();
        auto* close = bar ? dynamic_cast<QWidget*>(bar->GetCloseButton()) : nullptr;
        if (!close)
            return;
        const QPointF centre(close->width() / 2.0, close->height() / 2.0);
        const QPointF global = close->mapToGlobal(centre);
        QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(close, &press);
        QCoreApplication::sendEvent(close, &release);
    }

    std::weak_ptr<CMainFrameEventImp> m_frame;
    QString m_path;
    int m_delayMs;
    bool m_seen = false;
};

class SelfTestObserver : public IProgramObserver {
public:
    void MainWindowCreated(const std::shared_ptr<CMainFrameEventImp>& mainFrame) override
    {
        const QString path = qEnvironmentVariable("VX_SELFTEST_SCREENSHOT");
        if (path.isEmpty() || !mainFrame)
            return;
        bool ok = false;
        int delay = qEnvironmentVariableIntValue("VX_SELFTEST_DELAY_MS", &ok);
        if (!ok || delay < 0)
            delay = 1500;
        auto* window = static_cast<QWidget*>(mainFrame->GetUIWnd());
        if (!window)
            return;
        window->installEventFilter(new FirstPaintWatcher(mainFrame, path, delay));
        m_armed = true;
    }

    void EventLoopEnded() override
    {
        if (!m_armed)
            return;
        QFile status(QStringLiteral("/proc/self/status"));
        if (!status.open(QIODevice::ReadOnly))
            return;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:")) {
                std::fprintf(stderr, "peak-rss-kib=%s\n", line.mid(6).trimmed().replace(" kB", "").constData());
                std::fflush(stderr);
            }
        }
    }

private:
    bool m_armed = false;
};

} // namespace

int main(int argc, char* argv[])
{
    SelfTestObserver observer;
    return RunProgram(argc, argv, &observer);
}
