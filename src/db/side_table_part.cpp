#include "db/side_table_part.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "base/log.h"
#include "db/db_connection.h"
#include "db/sql_script.h"

using namespace Qt::StringLiterals;

namespace {

int schemaVersion(QSqlDatabase& db) {
  QSqlQuery query(db);
  return query.exec(u"PRAGMA user_version"_s) && query.next() ? query.value(0).toInt() : 0;
}

}  // namespace

// The file's own table, not the stand-in a connection may have made for itself.
bool SideTablePart::fileHasTable(QSqlDatabase& db) const {
  QSqlQuery query(db);
  query.prepare(u"SELECT count(*) FROM main.sqlite_master WHERE name = ?"_s);
  query.addBindValue(table_.name);
  return query.exec() && query.next() && query.value(0).toInt() == 1;
}

QString SideTablePart::missingText() const {
  return u"falta la definición de %1 en el programa"_s.arg(table_.what);
}

// The script's objects, each only when missing; its version line is left to the caller.
QString SideTablePart::createObjects(QSqlDatabase& db) const {
  const QStringList statements = resourceScriptStatements(table_.fileScript);
  if (statements.isEmpty()) {
    return missingText();
  }
  QSqlQuery query(db);
  for (const QString& statement : statements) {
    if (!statement.startsWith(u"PRAGMA"_s) && !query.exec(statement)) {
      return reasonOf(query.lastError());
    }
  }
  return {};
}

QString SideTablePart::createInTransaction(QSqlDatabase& db, bool raiseVersion) const {
  if (!db.transaction()) {
    return reasonOf(db.lastError());
  }
  QString reason = createObjects(db);
  QSqlQuery version(db);
  if (reason.isEmpty() && raiseVersion &&
      !version.exec(u"PRAGMA user_version = %1"_s.arg(*table_.fileVersion))) {
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

// A versioned table raises the version only over the one before it, so that an older object
// that counts the versions below is still told apart and made again.
void SideTablePart::prepareFile(QSqlDatabase& db) const {
  const bool raiseVersion = table_.fileVersion && schemaVersion(db) == *table_.fileVersion - 1;
  if (fileHasTable(db) && !raiseVersion) {
    return;
  }
  const QString reason = createInTransaction(db, raiseVersion);
  if (reason.isEmpty()) {
    return;
  }
  WriteLog(u"No se ha podido crear %1 de la BD: %2"_s.arg(table_.what, reason));
  if (!table_.standIn.isEmpty() && !fileHasTable(db)) {
    QSqlQuery standIn(db);
    (void)standIn.exec(table_.standIn);
  }
}

// A write transaction just begun makes the table the file could not gain when it was opened.
QString SideTablePart::prepareFileWrite(QSqlDatabase& db) const {
  if (fileHasTable(db)) {
    return {};
  }
  // Unqualified names reach a connection's own table before the file's.
  QSqlQuery standIn(db);
  if (!standIn.exec(u"DROP TABLE IF EXISTS temp.%1"_s.arg(table_.name))) {
    return reasonOf(standIn.lastError());
  }
  return createObjects(db);
}

QStringList SideTablePart::serverObjects(QSqlDatabase&, QString& reason) const {
  const QStringList statements = resourceScriptStatements(table_.serverScript);
  if (statements.isEmpty()) {
    reason = missingText();
  }
  return statements;
}
