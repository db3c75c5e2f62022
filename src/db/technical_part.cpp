#include "db/technical_part.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "base/log.h"
#include "db/db_connection.h"
#include "db/sql_script.h"

using namespace Qt::StringLiterals;

namespace {

// The version of the file's own objects once the side table is there: the one after the search
// index's second.
constexpr int kTechnicalSchemaVersion = 3;

int schemaVersion(QSqlDatabase& db) {
  QSqlQuery query(db);
  return query.exec(u"PRAGMA user_version"_s) && query.next() ? query.value(0).toInt() : 0;
}

const QString kMissingScript =
    u"falta la definición de la tabla de datos técnicos en el programa"_s;

bool hasTable(QSqlDatabase& db) {
  return fileHasTable(db, u"infotecnica"_s);
}

// The script's objects, each only when missing; its version line is left to the caller.
QString createObjects(QSqlDatabase& db) {
  return runScriptObjects(db, u":/technical_fields.sql"_s, kMissingScript);
}

// The version counts the search index's versions first: it is raised only over the search
// index's latest, so that an older index is still told apart and made again.
QString createInTransaction(QSqlDatabase& db, bool raiseVersion) {
  if (!db.transaction()) {
    return reasonOf(db.lastError());
  }
  QString reason = createObjects(db);
  QSqlQuery version(db);
  if (reason.isEmpty() && raiseVersion &&
      !version.exec(u"PRAGMA user_version = %1"_s.arg(kTechnicalSchemaVersion))) {
    reason = reasonOf(version.lastError());
  }
  if (reason.isEmpty() && !db.commit()) {
    reason = reasonOf(db.lastError());
  }
  if (!reason.isEmpty()) {
    db.rollback();
  }
  return reason;
}

// A file that cannot gain the table is read as one whose listings have no technical fields: an
// empty table of the connection's own stands in, so the searches that ask for durations run.
void standInForTable(QSqlDatabase& db) {
  if (hasTable(db)) {
    return;
  }
  QSqlQuery query(db);
  (void)query.exec(
      u"CREATE TEMP TABLE IF NOT EXISTS infotecnica (rp_id INTEGER, filegenorder "
      u"INTEGER, duracion_ms INTEGER, kbps INTEGER, hz INTEGER, canales INTEGER, "
      u"bytes INTEGER)"_s);
}

// Gives an older file the side table, in one transaction, and the version above the search
// index's when the index is at its latest; a file that has both is left alone.
QString prepareFileSideTables(QSqlDatabase& db) {
  const bool raiseVersion = schemaVersion(db) == kTechnicalSchemaVersion - 1;
  if (hasTable(db) && !raiseVersion) {
    return {};
  }
  const QString reason = createInTransaction(db, raiseVersion);
  if (!reason.isEmpty()) {
    WriteLog(u"No se ha podido crear la tabla de datos técnicos de la BD: "_s + reason);
    standInForTable(db);
  }
  return reason;
}

// Makes the side table when the file could not gain it when it was opened.
QString gainFileSideTablesInWrite(QSqlDatabase& db) {
  if (hasTable(db)) {
    return {};
  }
  // Unqualified names reach a connection's own table before the file's.
  QSqlQuery standIn(db);
  if (!standIn.exec(u"DROP TABLE IF EXISTS temp.infotecnica"_s)) {
    return reasonOf(standIn.lastError());
  }
  return createObjects(db);
}

class TechnicalFieldsPart : public CataloguePart {
 public:
  void prepareFile(QSqlDatabase& db) const override { (void)prepareFileSideTables(db); }
  QString prepareFileWrite(QSqlDatabase& db) const override {
    return gainFileSideTablesInWrite(db);
  }
  QStringList serverObjects(QSqlDatabase&, QString& reason) const override {
    return requiredScriptStatements(u":/technical_fields_server.sql"_s, kMissingScript, reason);
  }
};

}  // namespace

const CataloguePart& technicalFieldsPart() {
  static const TechnicalFieldsPart part;
  return part;
}
