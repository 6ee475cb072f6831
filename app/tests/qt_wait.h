// qt_wait.h - how a window's tests wait: for a condition, never for a
// time, within a deadline far beyond what any should take (a test that
// would wait longer has failed).
//
//   ASSERT_TRUE(wait_until([&] { return !a->busy; })); // the event loop runs
//   gate g;   g.open();  ...  g.wait();                  // one thread lets another on
//   on_modal([](QWidget *dlg) { ... });                  // the next modal window, once up
#pragma once

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

constexpr int WAIT_DEADLINE_MS = 60000;

// Runs the event loop until done() holds (true) or the deadline has
// passed (false).
inline bool wait_until(const std::function<bool()> &done)
{
    return QTest::qWaitFor(done, WAIT_DEADLINE_MS);
}

// Shut until open(): wait() holds a thread (a job's, beside the window)
// until another has opened it; false when the deadline passed first.
class gate {
public:
    void open()
    {
        std::lock_guard<std::mutex> lock(m);
        opened = true;
        cv.notify_all();
    }
    bool wait()
    {
        std::unique_lock<std::mutex> lock(m);
        return cv.wait_for(lock, std::chrono::milliseconds(WAIT_DEADLINE_MS),
                           [this] { return opened; });
    }

private:
    std::mutex m;
    std::condition_variable cv;
    bool opened = false;
};

// What a test does with the next modal window to come up (titled title,
// when one is given): f runs on it from the event loop once it is up and
// active (it is made active again when another window took that from it
// meanwhile). The waits whose window has not come are listed (waits()); a
// test ends with none.
class modal_wait : public QObject {
public:
    modal_wait(const QString &title, std::function<void(QWidget *)> f)
        : title(title), f(std::move(f))
    {
        qApp->installEventFilter(this);
        waits().push_back(this);
    }
    ~modal_wait() override { gone(); }
    static std::vector<modal_wait *> &waits()
    {
        static std::vector<modal_wait *> list;
        return list;
    }

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() != QEvent::WindowActivate || !o->isWidgetType())
            return false;
        auto *w = static_cast<QWidget *>(o);
        if (!w->isWindow() || !w->isModal() || (!title.isEmpty() && w->windowTitle() != title))
            return false;
        gone();
        QTimer::singleShot(0, w, [fn = f, w] {
            // An activation still on its way (of the window below, as a
            // progress window closes) may have taken it back: f runs once
            // the window is the active one again (or, past the deadline,
            // as it is, to fail and close it).
            QPointer<QWidget> up(w);
            wait_until([&up] {
                if (up && !up->isActiveWindow())
                    up->activateWindow();
                return !up || up->isActiveWindow();
            });
            if (up)
                fn(w);
        });
        deleteLater();
        return false;
    }

private:
    void gone()
    {
        qApp->removeEventFilter(this);
        auto &list = waits();
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    QString title;
    std::function<void(QWidget *)> f;
};

inline void on_modal(std::function<void(QWidget *)> f, const QString &title = QString())
{
    new modal_wait(title, std::move(f));
}
