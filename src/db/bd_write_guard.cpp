#include "db/bd_write_guard.h"

using namespace Qt::StringLiterals;

namespace {

bool& writeRunning() {
  static bool running = false;
  return running;
}

}  // namespace

BdWriteGuard::BdWriteGuard() : acquired_(!writeRunning()) {
  writeRunning() = true;
}

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
