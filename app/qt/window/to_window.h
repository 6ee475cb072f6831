// to_window.h - how work run beside the window (session/worker.h) posts
// what follows it to the window's thread: an event for the application's
// event loop.
#pragma once

#include "app/session/worker.h"

#include <QCoreApplication>

inline worker::post_fn to_window()
{
    return [](std::function<void()> fn) {
        QMetaObject::invokeMethod(qApp, std::move(fn), Qt::QueuedConnection);
    };
}
