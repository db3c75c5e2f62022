#include "db/bd_write_guard.h"

#include <atomic>

using namespace Qt::StringLiterals;

namespace {

// Read by the search thread too.
std::atomic<bool>& writeRunning() {
  static std::atomic<bool> running = false;
  return running;
}

}  // namespace

BdWriteGuard::BdWriteGuard() : acquired_(!writeRunning().exchange(true)) {}

BdWriteGuard::~BdWriteGuard() {
  if (acquired_) {
    writeRunning() = false;
  }
}

bool isBdWriteRunning() {
  return writeRunning();
}

QString bdBusyText() {
  return u"La BD está ocupada guardando o borrando otro listado. Espere a que termine e "
         u"inténtelo de nuevo."_s;
}
