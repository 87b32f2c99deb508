#include "Waiter.h"

#include <QEventLoop>
#include <QTimer>

void EventLoopWaiter::wait(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}
