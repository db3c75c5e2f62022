#include "db/pg_engine.h"

#include <QFile>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include <memory>

#include "base/log.h"
#include "db/catalogue_parts.h"
#include "db/db_connection.h"
#include "db/libpq_calls.h"

using namespace Qt::StringLiterals;

namespace {

// The items of a server connection string, the program's own names taken out; what remains
// goes to libpq as it stands.
struct ServerItems {
  QString database;
  QString host;
  QString port;
  QString user;
  QString password;
  QString lockTimeout;
  QStringList libpq;  // "key=value"
};

bool isKey(const QString& key, QStringView name) {
  return key.compare(name, Qt::CaseInsensitive) == 0;
}

ServerItems itemsOf(const ConnectionParts& parts) {
  ServerItems items;
  for (const QString& item : parts.options.split(u';', Qt::SkipEmptyParts)) {
    const QString key = item.section(u'=', 0, 0).trimmed();
    const QString value = item.section(u'=', 1).trimmed();
    if (isKey(key, u"Database")) {
      items.database = value;
    } else if (isKey(key, u"Host")) {
      items.host = value;
    } else if (isKey(key, u"Port")) {
      items.port = value;
    } else if (isKey(key, u"User ID")) {
      items.user = value;
    } else if (isKey(key, u"Password")) {
      items.password = value;
    } else if (isKey(key, u"lock_timeout")) {
      items.lockTimeout = value;
    } else if (!key.isEmpty()) {
      items.libpq.append(key + u'=' + value);
    }
  }
  // The file providers' item names the server when Host does not.
  if (items.host.isEmpty()) {
    items.host = parts.dataSource;
  }
  return items;
}

bool hasLibpqOption(const QStringList& libpq, QStringView name) {
  return std::any_of(libpq.cbegin(), libpq.cend(),
                     [&](const QString& item) { return isKey(item.section(u'=', 0, 0), name); });
}

// A libpq value in single quotes, so blanks and quotes in it reach libpq whole.
QString libpqItem(const QString& item) {
  QString value = item.section(u'=', 1);
  value.replace(u'\\', u"\\\\"_s).replace(u'\'', u"\\'"_s);
  return item.section(u'=', 0, 0) + u"='"_s + value + u'\'';
}

PGconn* pgConnection(const QSqlDatabase& db) {
  const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
  // Qt 6 names the handle's type by libpq's struct, Qt 5 by its typedef.
  if (qstrcmp(handle.typeName(), "pg_conn*") != 0 && qstrcmp(handle.typeName(), "PGconn*") != 0) {
    return nullptr;
  }
  return *static_cast<PGconn* const*>(handle.data());
}

QString sqlState(const QSqlError& error) {
  return error.nativeErrorCode();
}

QStringList scriptStatements(const QString& path) {
  QFile script(path);
  if (!script.open(QIODevice::ReadOnly)) {
    return {};
  }
  QStringList statements;
  for (const QString& statement : QString::fromUtf8(script.readAll()).split(u';')) {
    QStringList lines;
    for (const QString& line : statement.split(u'\n')) {
      if (!line.trimmed().startsWith(u"--"_s)) {
        lines.append(line);
      }
    }
    if (const QString sql = lines.join(u'\n').trimmed(); !sql.isEmpty()) {
      statements.append(sql);
    }
  }
  return statements;
}

// Runs statements in the open transaction; empty text, else the failing one's reason.
QString runAll(QSqlDatabase& db, const QStringList& statements, QSqlError* failure = nullptr) {
  QSqlQuery query(db);
  for (const QString& sql : statements) {
    if (!query.exec(sql)) {
      if (failure) {
        *failure = query.lastError();
      }
      return reasonOf(query.lastError());
    }
  }
  return {};
}

std::optional<QVariant> firstValue(QSqlDatabase& db, const QString& sql) {
  QSqlQuery query(db);
  if (!query.exec(sql) || !query.next()) {
    return std::nullopt;
  }
  return query.value(0);
}

QString databaseName(const QSqlDatabase& db) {
  return db.databaseName().isEmpty() ? u"predeterminada"_s : db.databaseName();
}

// The catalogue's tables, then every part's objects, each made only where it is missing, then
// the version statement; empty text, else the reason.
QString runObjects(QSqlDatabase& db, const QString& version, QSqlError& failure) {
  const QStringList tables = scriptStatements(u":/schema_server.sql"_s);
  if (tables.isEmpty()) {
    return u"falta la definición de las tablas del catálogo en el programa"_s;
  }
  QString reason = runAll(db, tables, &failure);
  for (const CataloguePart* part : catalogueParts()) {
    if (!reason.isEmpty()) {
      return reason;
    }
    const QStringList objects = part->serverObjects(db, reason);
    if (reason.isEmpty()) {
      reason = runAll(db, objects, &failure);
    }
  }
  return reason.isEmpty() ? runAll(db, {version}, &failure) : reason;
}

QString createObjects(QSqlDatabase& db) {
  QSqlError failure;
  const QString reason = runObjects(
      db, u"INSERT INTO quillet_schema VALUES (%1)"_s.arg(kServerSchemaVersion), failure);
  if (reason.isEmpty()) {
    return {};
  }
  if (sqlState(failure) == u"42501"_s) {
    return u"El usuario no tiene permiso para crear las tablas del catálogo en la base de datos "
           u"%1 del servidor: %2"_s.arg(databaseName(db), reason);
  }
  return u"No se pueden crear las tablas del catálogo en la base de datos %1 del servidor: %2"_s
      .arg(databaseName(db), reason);
}

// A catalogue an older Quillet made gains what this one keeps beside the catalogue tables; every
// statement makes only what is missing, so the listings stay as they are.
QString upgradeObjects(QSqlDatabase& db, int version) {
  QSqlError failure;
  const QString reason = runObjects(
      db, u"UPDATE quillet_schema SET version = %1"_s.arg(kServerSchemaVersion), failure);
  if (reason.isEmpty()) {
    WriteLog(u"Actualizado el catálogo de la base de datos %1 del servidor del esquema %2 al %3"_s
                 .arg(databaseName(db))
                 .arg(version)
                 .arg(kServerSchemaVersion));
    return {};
  }
  return u"No se puede actualizar el catálogo de la base de datos %1 del servidor (esquema %2 al "
         u"%3): %4"_s.arg(databaseName(db))
             .arg(version)
             .arg(kServerSchemaVersion)
             .arg(reason);
}

// Under a lock of the database's own, so two programs meeting an empty (or older) database make
// its objects once.
QString ensureSchema(QSqlDatabase& db) {
  if (!db.transaction()) {
    return reasonOf(db.lastError());
  }
  QString problem;
  // Notices of objects made again (IF NOT EXISTS) are no news to the user.
  runAll(db, {u"SET LOCAL client_min_messages = warning"_s});
  if (!firstValue(db, u"SELECT pg_advisory_xact_lock(4711020)"_s)) {
    problem = reasonOf(db.lastError());
  } else if (firstValue(db, u"SELECT to_regclass('quillet_schema') IS NULL"_s)
                 .value_or(true)
                 .toBool()) {
    problem = createObjects(db);
  } else if (const int version =
                 firstValue(db, u"SELECT max(version) FROM quillet_schema"_s).value_or(0).toInt();
             version > kServerSchemaVersion) {
    problem =
        u"La base de datos %1 del servidor la ha preparado una versión más moderna de Quillet "
        u"(esquema %2; esta versión conoce hasta el %3): no se usa"_s.arg(databaseName(db))
            .arg(version)
            .arg(kServerSchemaVersion);
  } else if (version < kServerSchemaVersion) {
    problem = upgradeObjects(db, version);
  }
  if (!problem.isEmpty()) {
    db.rollback();
    return problem;
  }
  return db.commit() ? QString() : reasonOf(db.lastError());
}

// A transaction whose first statement is sql; rolled back, with the error, when sql fails.
QSqlError beginWith(QSqlDatabase& db, const QString& sql) {
  if (!db.transaction()) {
    return db.lastError();
  }
  QSqlQuery first(db);
  if (!first.exec(sql)) {
    const QSqlError error = first.lastError();
    db.rollback();
    return error;
  }
  return {};
}

}  // namespace

QString PgEngine::configure(QSqlDatabase& db, const ConnectionParts& parts) const {
  const ServerItems items = itemsOf(parts);
  db.setDatabaseName(items.database);
  db.setHostName(items.host);
  db.setUserName(items.user);
  db.setPassword(items.password);
  if (!items.port.isEmpty()) {
    bool ok = false;
    const int port = items.port.toInt(&ok);
    if (!ok || port <= 0 || port > 65535) {
      return u"El puerto del servidor de la BD no es válido: %1"_s.arg(items.port);
    }
    db.setPort(port);
  }
  QStringList libpq;
  for (const QString& item : items.libpq) {
    libpq.append(libpqItem(item));
  }
  db.setConnectOptions(libpq.join(u';'));
  return {};
}

QString PgEngine::connectOptions(const QString& options) const {
  const ServerItems items = itemsOf({{}, {}, options});
  QStringList added;
  if (!hasLibpqOption(items.libpq, u"connect_timeout")) {
    added.append(u"connect_timeout=%1"_s.arg(kDefaultConnectTimeoutS));
  }
  // A store waiting for another computer's gives up after the wait, as on a file.
  if (!hasLibpqOption(items.libpq, u"options")) {
    added.append(u"options=-c lock_timeout=%1"_s.arg(busyWaitMs(options)));
  }
  return (QStringList{options} + added).join(u';');
}

// Every transaction of the session is read-only, so the server itself refuses any write; a
// connection string that sets the server options itself is taken as it stands.
QString PgEngine::readOnlyOptions(const QString& options) const {
  if (hasLibpqOption(itemsOf({{}, {}, options}).libpq, u"options")) {
    return options;
  }
  const QString readOnly =
      u"options=-c default_transaction_read_only=on -c lock_timeout=%1"_s.arg(busyWaitMs(options));
  return options.isEmpty() ? readOnly : options + u';' + readOnly;
}

int PgEngine::busyWaitMs(const QString& options) const {
  const ServerItems items = itemsOf({{}, {}, options});
  return items.lockTimeout.isEmpty() ? kDefaultBusyWaitMs : items.lockTimeout.toInt();
}

// Each statement on the connection's own process: the server would start a parallel worker for
// a search page, which then takes three times as long on two cores, while many browsers ask at
// once and the cores are taken already.
void PgEngine::tuneForServing(QSqlDatabase& db) const {
  QSqlQuery(db).exec(u"SET max_parallel_workers_per_gather = 0"_s);
}

QString PgEngine::prepare(QSqlDatabase& db) const {
  const QString encoding =
      firstValue(db, u"SHOW server_encoding"_s).value_or(QVariant()).toString();
  if (encoding != u"UTF8"_s) {
    return u"La base de datos %1 del servidor no usa la codificación UTF8 (usa %2): créela con "
           u"ENCODING 'UTF8'"_s.arg(databaseName(db), encoding);
  }
  return ensureSchema(db);
}

QSqlError PgEngine::beginWrite(QSqlDatabase& db) const {
  // Every store takes the highest number plus one: two stores must take it one after the
  // other. Readers are not held up by this lock.
  return beginWith(db, u"LOCK TABLE reports IN SHARE ROW EXCLUSIVE MODE"_s);
}

// Read committed gives each statement its own snapshot; repeatable read gives the transaction
// one.
QSqlError PgEngine::beginRead(QSqlDatabase& db) const {
  return beginWith(db, u"SET TRANSACTION ISOLATION LEVEL REPEATABLE READ, READ ONLY"_s);
}

bool PgEngine::isBusy(const QSqlError& error) const {
  // lock_not_available: the lock wait ran out.
  return sqlState(error) == u"55P03"_s;
}

bool PgEngine::isConnectionLost(const QSqlDatabase& db, const QSqlError& error) const {
  // Connection exceptions, and the server ending the session (shut down, backend terminated).
  const QString state = sqlState(error);
  if (state.startsWith(u"08"_s) || state.startsWith(u"57P0"_s)) {
    return true;
  }
  PGconn* connection = pgConnection(db);
  return connection && libpq::isBad(connection);
}

QString PgEngine::openFailure(const QSqlError& error, const ConnectionParts& parts) const {
  const QString reason = reasonOf(error);
  if (reason.contains(u"password authentication failed"_s) ||
      reason.contains(u"no password supplied"_s)) {
    return u"El servidor de la BD (%1) no acepta el usuario o la contraseña: %2"_s.arg(
        describe(parts), reason);
  }
  return u"No se puede conectar con el servidor de la BD (%1): el catálogo no está accesible "
         u"(%2)"_s.arg(describe(parts), reason);
}

QString PgEngine::describe(const ConnectionParts& parts) const {
  const ServerItems items = itemsOf(parts);
  const QString host =
      items.host.isEmpty() ? u"servidor predeterminado"_s : u"servidor "_s + items.host;
  const QString port = items.port.isEmpty() ? QString() : u":"_s + items.port;
  const QString database = items.database.isEmpty() ? u"predeterminada"_s : items.database;
  return host + port + u", base de datos "_s + database;
}

QString PgEngine::loggable(const QString& connectionString) const {
  static const QRegularExpression password(u"(password\\s*=)[^;]*"_s,
                                           QRegularExpression::CaseInsensitiveOption);
  QString shown = connectionString;
  return shown.replace(password, u"\\1***"_s);
}

std::function<void()> PgEngine::interrupter(const QSqlDatabase& db) const {
  PGconn* connection = pgConnection(db);
  // The server's cancel request: it reaches the backend over a connection of its own, so any
  // thread may send it while the statement runs, and the session stays usable.
  std::shared_ptr<PGcancel> cancel(connection ? libpq::getCancel(connection) : nullptr,
                                   libpq::freeCancel);
  if (!cancel) {
    return {};
  }
  return [cancel] { libpq::cancel(cancel.get()); };
}
