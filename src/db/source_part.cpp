#include "db/source_part.h"

#include "base/log.h"
#include "db/db_connection.h"
#include "db/sql_script.h"

using namespace Qt::StringLiterals;

namespace {

const QString kMissingScript =
    u"falta la definición de las tablas del origen de los listados en el programa"_s;

bool hasTables(QSqlDatabase& db) {
  return fileHasTable(db, u"origen"_s) && fileHasTable(db, u"origen_archivos"_s);
}

QString createObjects(QSqlDatabase& db) {
  return runScriptObjects(db, u":/source_identity.sql"_s, kMissingScript);
}

QString createInTransaction(QSqlDatabase& db) {
  if (!db.transaction()) {
    return reasonOf(db.lastError());
  }
  QString reason = createObjects(db);
  if (reason.isEmpty() && !db.commit()) {
    reason = reasonOf(db.lastError());
  }
  if (!reason.isEmpty()) {
    db.rollback();
  }
  return reason;
}

class SourceIdentityPart : public CataloguePart {
 public:
  void prepareFile(QSqlDatabase& db) const override {
    if (hasTables(db)) {
      return;
    }
    if (const QString reason = createInTransaction(db); !reason.isEmpty()) {
      WriteLog(u"No se han podido crear las tablas del origen de los listados de la BD: "_s +
               reason);
    }
  }
  QString prepareFileWrite(QSqlDatabase& db) const override {
    return hasTables(db) ? QString() : createObjects(db);
  }
  QStringList serverObjects(QSqlDatabase&, QString& reason) const override {
    return requiredScriptStatements(u":/source_identity_server.sql"_s, kMissingScript, reason);
  }
};

}  // namespace

const CataloguePart& sourceIdentityPart() {
  static const SourceIdentityPart part;
  return part;
}
