// The hosts' timers: Qt timers by number, firing from the event loop (also inside modal dialogs).
#pragma once
#include <QTimer>
#include <functional>
#include <map>

namespace plat {

class QtTimerSet {
 public:
  QtTimerSet() = default;
  QtTimerSet(const QtTimerSet&) = delete;
  QtTimerSet& operator=(const QtTimerSet&) = delete;
  ~QtTimerSet() {
    for (auto& [id, t] : timers_) delete t;
  }

  int Start(int intervalMs, std::function<void()> fn) {
    const int id = next_++;
    auto* t = new QTimer();
    t->setTimerType(Qt::PreciseTimer);
    t->setInterval(intervalMs);
    QObject::connect(t, &QTimer::timeout, [fn = std::move(fn)] { fn(); });
    timers_[id] = t;
    t->start();
    return id;
  }

  void Stop(int id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    it->second->stop();
    it->second->deleteLater();  // it may be stopping itself from its own handler
    timers_.erase(it);
  }

 private:
  std::map<int, QTimer*> timers_;
  int next_ = 1;
};

}  // namespace plat
