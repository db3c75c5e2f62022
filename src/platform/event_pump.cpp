#include "platform/event_pump.h"

#include <QCoreApplication>

void ThrottledEventPump::operator()() {
  if (!sinceLastRun_.isValid() || sinceLastRun_.elapsed() >= intervalMs_) {
    QCoreApplication::processEvents();
    sinceLastRun_.start();
  }
}
