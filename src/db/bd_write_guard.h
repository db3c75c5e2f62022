#pragma once

#include <QString>

/**
 * Marks a store or a delete as running. Both let the event loop run between rows, so another
 * command could start a write on the same connection in the middle of one; only one may run.
 */
class BdWriteGuard {
 public:
  BdWriteGuard();
  ~BdWriteGuard();
  BdWriteGuard(const BdWriteGuard&) = delete;
  BdWriteGuard& operator=(const BdWriteGuard&) = delete;

  /** False when another write was already running: this one must not touch the database. */
  bool acquired() const { return acquired_; }

 private:
  bool acquired_;
};

/** True while a store or a delete is writing to the database. */
bool isBdWriteRunning();

/** What the user is told when a write is refused because another one runs. */
QString bdBusyText();
