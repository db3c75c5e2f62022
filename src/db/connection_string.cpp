#include "db/connection_string.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QStringList>

#include "db/db_engine.h"

using namespace Qt::StringLiterals;

namespace {

// The driver names Qt SQL has ever shipped; anything else is a typing error in config.ini.
bool isQtDriverName(const QString& name) {
  static const QStringList known = {u"QSQLITE"_s, u"QPSQL"_s,  u"QMYSQL"_s,  u"QMARIADB"_s,
                                    u"QODBC"_s,   u"QOCI"_s,   u"QIBASE"_s,  u"QDB2"_s,
                                    u"QTDS"_s,    u"QMIMER"_s, u"QSQLITE2"_s};
  return known.contains(name);
}

}  // namespace

QString providerProblem(const QString& provider) {
  if (provider.isEmpty()) {
    return u"La cadena de conexión no indica el proveedor de la base de datos (Provider=...)"_s;
  }
  if (!isQtDriverName(provider)) {
    return u"Proveedor de base de datos desconocido: %1"_s.arg(provider);
  }
  if (!QSqlDatabase::isDriverAvailable(provider)) {
    return u"No está instalado el controlador de base de datos %1"_s.arg(provider);
  }
  return {};
}

ConnectionParts parseConnectionString(const QString& text) {
  static const QRegularExpression dataSourceKey(u"(?:^|;|\\s)Data Source\\s*="_s,
                                                QRegularExpression::CaseInsensitiveOption);
  ConnectionParts parts;
  QString items = text;
  QRegularExpressionMatch last;
  for (QRegularExpressionMatchIterator it = dataSourceKey.globalMatch(text); it.hasNext();) {
    last = it.next();
  }
  if (last.hasMatch()) {
    items = text.left(last.capturedStart());
    parts.dataSource = text.mid(last.capturedEnd()).trimmed();
    // "Data Source=/x/quillet.mdb;" is ended by its ';', as every other item is.
    if (parts.dataSource.endsWith(u';')) {
      parts.dataSource = parts.dataSource.chopped(1).trimmed();
    }
  }
  QStringList options;
  // An earlier Data Source item, say one left in config.ini, is overridden by the last one.
  for (const QString& item : items.split(u';', Qt::SkipEmptyParts)) {
    const QString key = item.section(u'=', 0, 0).trimmed();
    if (key.compare(u"Provider"_s, Qt::CaseInsensitive) == 0) {
      parts.provider = item.section(u'=', 1).trimmed().toUpper();
    } else if (!key.isEmpty() && key.compare(u"Data Source"_s, Qt::CaseInsensitive) != 0) {
      options.append(item.trimmed());
    }
  }
  parts.options = options.join(u';');
  return parts;
}

QString readOnlyConnectionString(const QString& connectionString) {
  const ConnectionParts parts = parseConnectionString(connectionString);
  if (!providerProblem(parts.provider).isEmpty()) {
    return connectionString;
  }
  QString text = u"Provider=%1;%2"_s.arg(parts.provider,
                                         engineFor(parts.provider).readOnlyOptions(parts.options));
  // The data source goes last, as the program always writes it.
  return parts.dataSource.isEmpty() ? text : text + u"; Data Source="_s + parts.dataSource;
}
