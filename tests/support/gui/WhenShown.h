// Acting on a modal dialog from a window test: the act runs once the dialog shows, inside the
// dialog's own event loop, so the test can press its buttons.
#pragma once

#include <QTimer>
#include <QWidget>

#include <functional>

namespace vmtest {

inline void WhenShown(QWidget* dialog, std::function<void()> act)
{
    auto* timer = new QTimer(dialog);
    QObject::connect(timer, &QTimer::timeout, [dialog, timer, act] {
        if (!dialog->isVisible())
            return;
        timer->stop();
        act();
    });
    timer->start(20);
}

} // namespace vmtest
