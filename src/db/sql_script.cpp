#include "db/sql_script.h"

#include <QFile>
#include <QSqlQuery>
#include <QVariant>

#include "db/db_connection.h"

using namespace Qt::StringLiterals;

QStringList scriptStatements(const QString& script) {
  QStringList statements;
  QString current;
  for (const QString& line : script.split(u'\n')) {
    if (line.startsWith(u"--"_s) || (current.isEmpty() && line.trimmed().isEmpty())) {
      continue;
    }
    current += line + u'\n';
    const bool trigger = current.startsWith(u"CREATE TRIGGER"_s);
    if (line.endsWith(u';') && (!trigger || line == u"END;"_s)) {
      statements.append(current.trimmed());
      current.clear();
    }
  }
  return statements;
}

QStringList resourceScriptStatements(const QString& resource) {
  QFile script(resource);
  if (!script.open(QIODevice::ReadOnly)) {
    return {};
  }
  return scriptStatements(QString::fromUtf8(script.readAll()));
}

bool fileHasTable(QSqlDatabase& db, const QString& table) {
  QSqlQuery query(db);
  query.prepare(u"SELECT count(*) FROM main.sqlite_master WHERE type = 'table' AND name = ?"_s);
  query.addBindValue(table);
  return query.exec() && query.next() && query.value(0).toInt() == 1;
}

QString runScriptObjects(QSqlDatabase& db, const QString& resource, const QString& missingText) {
  const QStringList statements = resourceScriptStatements(resource);
  if (statements.isEmpty()) {
    return missingText;
  }
  QSqlQuery query(db);
  for (const QString& statement : statements) {
    if (!statement.startsWith(u"PRAGMA"_s) && !query.exec(statement)) {
      return reasonOf(query.lastError());
    }
  }
  return {};
}

QStringList requiredScriptStatements(const QString& resource, const QString& missingText,
                                     QString& reason) {
  const QStringList statements = resourceScriptStatements(resource);
  if (statements.isEmpty()) {
    reason = missingText;
  }
  return statements;
}
