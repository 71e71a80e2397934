#pragma once
// A timer whose period restarts only when something really changes: setting
// the interval it already has, or enabling it while it runs, does nothing.

#include <QObject>
#include <QTimer>
#include <functional>

namespace zem {

class Timer {
  public:
    explicit Timer(int interval = 1000) : interval_(interval) {
        timer_.setInterval(interval);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (OnTimer) OnTimer();
        });
    }
    bool Enabled() const { return enabled_; }
    int Interval() const { return interval_; }
    void SetEnabled(bool on) {
        if (on == enabled_) return;
        enabled_ = on;
        on ? timer_.start(interval_) : timer_.stop();
    }
    void SetInterval(int ms) {
        if (ms == interval_) return;
        interval_ = ms;
        timer_.setInterval(ms); // restarts a running timer
    }
    std::function<void()> OnTimer;
    QTimer& Raw() { return timer_; }

  private:
    QTimer timer_;
    int interval_;
    bool enabled_ = false;
};

} // namespace zem
