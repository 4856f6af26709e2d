// A wait that keeps the GUI loop turning, for tests of code that posts to it.
#pragma once

#include <functional>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace vxtest {

// Runs the GUI loop until done() holds; false after limitMs.
inline bool PumpUntil(const std::function<bool()>& done, int limitMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > limitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

} // namespace vxtest
