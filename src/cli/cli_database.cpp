#include "cli/cli_database.h"

#include <QString>

#include "cli/cli_support.h"
#include "db/incomplete_listings.h"
#include "db/mod_bd.h"
#include "db/stored_listings.h"
#include "session/lifecycle.h"

using namespace Qt::StringLiterals;

namespace {

class OpenedDatabase {
 public:
  OpenedDatabase() {
    UseConfiguredLogFile();
    LogWhereFilesLive();
    failure_ = OpenBdAtStartUp();
  }
  ~OpenedDatabase() {
    // One that never opened is left as the desktop program leaves it: without CloseBd.
    if (failure_.isEmpty()) {
      CloseBd();
    }
  }
  OpenedDatabase(const OpenedDatabase&) = delete;
  OpenedDatabase& operator=(const OpenedDatabase&) = delete;

  const QString& failure() const { return failure_; }

 private:
  QString failure_;
};

}  // namespace

int withDatabase(const std::function<int()>& work) {
  const OpenedDatabase database;
  if (!database.failure().isEmpty()) {
    printError(u"no se puede usar la base de datos: "_s + database.failure());
    return kExitFailure;
  }
  return work();
}

void warnIfIncomplete(int rpId) {
  if (isListingIncomplete(rpId)) {
    printError(
        u"aviso: el listado número %1 está incompleto: su escaneo se detuvo antes de "
        u"recorrer todo el árbol"_s.arg(rpId));
  }
}

int requireStoredListing(int rpId) {
  const std::optional<bool> stored = isListingStored(rpId);
  if (!stored) {
    printError(u"no se puede consultar la base de datos: "_s + BdConnection().lastError());
    return kExitFailure;
  }
  if (!*stored) {
    printError(u"no hay ningún listado con el número %1 en la base de datos"_s.arg(rpId));
    return kExitFailure;
  }
  return kExitOk;
}
