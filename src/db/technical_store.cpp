#include "db/technical_store.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "app/log.h"
#include "db/mod_bd.h"
#include "db/sql_script.h"

using namespace Qt::StringLiterals;

namespace {

QString reasonOfQuery(const QSqlQuery& query) {
  return reasonOf(query.lastError());
}

// Only the file database has the side table so far; a server's catalogue is left as it is and
// its listings are stored and loaded without technical fields.
bool onFileDatabase() {
  return BdConnection().driverConnection().driverName() == u"QSQLITE"_s;
}

int schemaVersion() {
  QSqlQuery query(BdConnection().driverConnection());
  return query.exec(u"PRAGMA user_version"_s) && query.next() ? query.value(0).toInt() : 0;
}

bool hasTable() {
  QSqlQuery query(BdConnection().driverConnection());
  return query.exec(u"SELECT count(*) FROM sqlite_master WHERE name = 'infotecnica'"_s) &&
         query.next() && query.value(0).toInt() == 1;
}

// The script's objects, each only when missing; its version line is left to the caller.
QString createObjects() {
  const QStringList statements = resourceScriptStatements(u":/technical_fields.sql"_s);
  if (statements.isEmpty()) {
    return u"falta la definición de la tabla de datos técnicos en el programa"_s;
  }
  QSqlQuery query(BdConnection().driverConnection());
  for (const QString& statement : statements) {
    if (!statement.startsWith(u"PRAGMA"_s) && !query.exec(statement)) {
      return reasonOfQuery(query);
    }
  }
  return {};
}

// The version counts the search index's versions first: it is raised only over the search
// index's latest, so that an older index is still told apart and made again.
QString createInTransaction(bool raiseVersion) {
  ScopedTransaction transaction(BdConnection());
  if (!transaction.started()) {
    return BdConnection().lastError();
  }
  if (const QString reason = createObjects(); !reason.isEmpty()) {
    return reason;
  }
  QSqlQuery version(BdConnection().driverConnection());
  if (raiseVersion && !version.exec(u"PRAGMA user_version = %1"_s.arg(kTechnicalSchemaVersion))) {
    return reasonOfQuery(version);
  }
  return transaction.Commit() ? QString() : BdConnection().lastError();
}

// A database that cannot gain the table (a read-only copy, say) is read as one whose listings
// have no technical fields: an empty table of the connection's own stands in, so the searches
// that ask for durations still run.
void standInForTable() {
  if (hasTable()) {
    return;
  }
  QSqlQuery query(BdConnection().driverConnection());
  (void)query.exec(
      u"CREATE TEMP TABLE IF NOT EXISTS infotecnica (rp_id INTEGER, filegenorder "
      u"INTEGER, duracion_ms INTEGER, kbps INTEGER, hz INTEGER, canales INTEGER, "
      u"bytes INTEGER)"_s);
}

}  // namespace

QString ensureTechnicalTable() {
  if (!onFileDatabase()) {
    return {};
  }
  const bool raiseVersion = schemaVersion() == kTechnicalSchemaVersion - 1;
  if (hasTable() && !raiseVersion) {
    return {};
  }
  const QString reason = createInTransaction(raiseVersion);
  if (!reason.isEmpty()) {
    WriteLog(u"No se ha podido crear la tabla de datos técnicos de la BD: "_s + reason);
    standInForTable();
  }
  return reason;
}

QString storeTechnicalFields(qint16 rpId, const TechnicalFields& technical, int lastFile) {
  if (!onFileDatabase()) {
    return {};
  }
  if (!hasTable()) {
    if (const QString reason = createObjects(); !reason.isEmpty()) {
      return reason;
    }
  }
  const QSqlDatabase db = BdConnection().driverConnection();
  QSqlQuery stale(db);
  stale.prepare(u"DELETE FROM infotecnica WHERE rp_id = :rp_id"_s);
  stale.bindValue(u":rp_id"_s, rpId);
  if (!stale.exec()) {
    return reasonOfQuery(stale);
  }
  QSqlQuery row(db);
  if (!row.prepare(u"INSERT INTO infotecnica (rp_id, filegenorder, duracion_ms, kbps, hz, "
                   u"canales, bytes) VALUES (?, ?, ?, ?, ?, ?, ?)"_s)) {
    return reasonOfQuery(row);
  }
  for (int file = 1; file <= lastFile; ++file) {
    const AudioProperties* properties = technical.of(file);
    if (!properties) {
      continue;
    }
    for (const QVariant& value : {QVariant(rpId), QVariant(file), QVariant(properties->durationMs),
                                  QVariant(properties->kbps), QVariant(properties->hz),
                                  QVariant(properties->channels), QVariant(properties->bytes)}) {
      row.addBindValue(value);
    }
    if (!row.exec()) {
      return reasonOfQuery(row);
    }
  }
  return {};
}

void loadTechnicalFields(qint16 rpId, ListingModel& model) {
  model.technical.clear();
  if (!onFileDatabase() || !hasTable()) {
    return;
  }
  QSqlQuery rows(BdConnection().driverConnection());
  rows.setForwardOnly(true);
  rows.prepare(
      u"SELECT filegenorder, duracion_ms, kbps, hz, canales, bytes FROM infotecnica "
      u"WHERE rp_id = :rp_id ORDER BY filegenorder"_s);
  rows.bindValue(u":rp_id"_s, rpId);
  if (!rows.exec()) {
    WriteLog(u"No se pueden leer de la BD los datos técnicos (listado número %1): %2"_s.arg(
        QString::number(rpId), reasonOfQuery(rows)));
    return;
  }
  while (rows.next()) {
    const int file = rows.value(0).toInt();
    if (file < 1 || file > model.NumCancionesMP3) {
      continue;
    }
    model.technical.set(file,
                        {rows.value(1).toLongLong(), rows.value(2).toInt(), rows.value(3).toInt(),
                         rows.value(4).toInt(), rows.value(5).toLongLong()});
    model.technical.present = true;
  }
}
