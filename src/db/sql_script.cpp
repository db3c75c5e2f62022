#include "db/sql_script.h"

#include <QFile>

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
