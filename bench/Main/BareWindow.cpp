// A bare Qt 6 window of the main window's size: the reference of the start-up benchmark. Writes
// "first-paint-epoch-ms=<ms>" and "first-paint-epoch-us=<µs>" to stderr when its first paint is
// done, then quits.
#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>

namespace {
class Window : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter(this).fillRect(rect(), Qt::white);
        if (m_painted)
            return;
        m_painted = true;
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        const long long us = std::chrono::duration_cast<std::chrono::microseconds>(now).count();
        std::fprintf(stderr, "first-paint-epoch-ms=%lld\nfirst-paint-epoch-us=%lld\n", us / 1000, us);
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }

private:
    bool m_painted = false;
};
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Window window;
    window.setWindowFlags(Qt::FramelessWindowHint);
    window.resize(1000, 700);
    window.show();
    return QApplication::exec();
}
