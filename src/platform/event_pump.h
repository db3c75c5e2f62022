#pragma once

#include <QElapsedTimer>

/**
 * Lets pending events run from inside long work, at most once per interval: running them after
 * every entry or row would dominate the work, while every 20 ms keeps the windows live. The
 * first call always runs them.
 */
class ThrottledEventPump {
 public:
  explicit ThrottledEventPump(qint64 intervalMs = 20) : intervalMs_(intervalMs) {}

  void operator()();

 private:
  qint64 intervalMs_;
  QElapsedTimer sinceLastRun_;
};
