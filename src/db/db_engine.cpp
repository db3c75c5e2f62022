#include "db/db_engine.h"

#include <QSqlDriver>
#include <QSqlQuery>
#include <QStringList>

#include <sqlite3.h>

#include <optional>

#include "db/catalogue_parts.h"
#include "db/db_connection.h"
#include "db/pg_engine.h"

using namespace Qt::StringLiterals;

namespace {

const QString kSqliteBusyOption = u"QSQLITE_BUSY_TIMEOUT"_s;

// The value of the busy-timeout item, or nothing when the options hold none; the driver reads
// the name case-sensitively, so this does too.
std::optional<int> sqliteBusyTimeout(const QString& options) {
  std::optional<int> timeout;
  for (const QString& item : options.split(u';', Qt::SkipEmptyParts)) {
    if (item.section(u'=', 0, 0).trimmed() == kSqliteBusyOption) {
      timeout = item.section(u'=', 1).trimmed().toInt();
    }
  }
  return timeout;
}

// SQLite: a plain BEGIN takes the write lock only at the first change, and two readers that
// both want to write then deadlock, one failing at once without waiting; BEGIN IMMEDIATE takes
// it first, waiting its turn. The file stays in the default rollback-journal mode, so any tool
// can read it and readers work from a read-only directory.
class SqliteEngine : public DbEngine {
 public:
  QString connectOptions(const QString& options) const override {
    if (sqliteBusyTimeout(options)) {
      return options;
    }
    const QString wait = u"%1=%2"_s.arg(kSqliteBusyOption).arg(kDefaultBusyWaitMs);
    return options.isEmpty() ? wait : options + u';' + wait;
  }

  int busyWaitMs(const QString& options) const override {
    return sqliteBusyTimeout(options).value_or(kDefaultBusyWaitMs);
  }

  // The file is opened for reading only: a part that cannot make its objects on it reads
  // through its stand-in, as on a file the user cannot write.
  QString readOnlyOptions(const QString& options) const override {
    const QString readOnly = u"QSQLITE_OPEN_READONLY"_s;
    return options.isEmpty() ? readOnly : options + u';' + readOnly;
  }

  // Each of the web view's connections keeps 16 MB of the file (2 MB by default): a search
  // page looks up a thousand files' rows, and reading them again from the operating system,
  // a system call a page, is most of what it costs.
  void tuneForServing(QSqlDatabase& db) const override {
    QSqlQuery(db).exec(u"PRAGMA cache_size = -16384"_s);
  }

  // A file that cannot gain a part's objects is still opened, and read without them.
  QString prepare(QSqlDatabase& db) const override {
    for (const CataloguePart* part : catalogueParts()) {
      part->prepareFile(db);
    }
    return {};
  }

  QSqlError beginWrite(QSqlDatabase& db) const override {
    QSqlQuery begin(db);
    if (!begin.exec(u"BEGIN IMMEDIATE"_s)) {
      return begin.lastError();
    }
    for (const CataloguePart* part : catalogueParts()) {
      if (const QString reason = part->prepareFileWrite(db); !reason.isEmpty()) {
        begin.exec(u"ROLLBACK"_s);
        return QSqlError(reason, {}, QSqlError::TransactionError);
      }
    }
    return {};
  }

  bool isBusy(const QSqlError& error) const override {
    // SQLITE_BUSY and SQLITE_LOCKED, with any extended code.
    const int code = error.nativeErrorCode().toInt() & 0xff;
    return code == 5 || code == 6;
  }

  // sqlite3_interrupt is the one call SQLite allows from another thread; it ends the statement
  // with SQLITE_INTERRUPT and leaves the connection as it was.
  std::function<void()> interrupter(const QSqlDatabase& db) const override {
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (qstrcmp(handle.typeName(), "sqlite3*") != 0) {
      return {};
    }
    sqlite3* connection = *static_cast<sqlite3* const*>(handle.constData());
    return [connection] { sqlite3_interrupt(connection); };
  }
};

}  // namespace

QString DbEngine::configure(QSqlDatabase& db, const ConnectionParts& parts) const {
  if (parts.dataSource.isEmpty()) {
    return u"La cadena de conexión no indica el archivo de la base de datos"_s;
  }
  db.setDatabaseName(parts.dataSource);
  db.setConnectOptions(parts.options);
  return {};
}

int DbEngine::busyWaitMs(const QString&) const {
  return 0;
}

QString DbEngine::prepare(QSqlDatabase&) const {
  return {};
}

bool DbEngine::isConnectionLost(const QSqlDatabase&, const QSqlError&) const {
  return false;
}

QString DbEngine::openFailure(const QSqlError& error, const ConnectionParts&) const {
  return reasonOf(error);
}

QString DbEngine::describe(const ConnectionParts& parts) const {
  return parts.dataSource;
}

QSqlError DbEngine::beginWrite(QSqlDatabase& db) const {
  return db.transaction() ? QSqlError() : db.lastError();
}

// SQLite's deferred transaction holds its shared lock from the first read to the end, so no
// writer commits in between.
QSqlError DbEngine::beginRead(QSqlDatabase& db) const {
  return db.transaction() ? QSqlError() : db.lastError();
}

bool DbEngine::isBusy(const QSqlError&) const {
  return false;
}

std::function<void()> DbEngine::interrupter(const QSqlDatabase&) const {
  return {};
}

std::unique_ptr<ListingHold> DbEngine::holdListing(const QSqlDatabase& db, int rpId) const {
  return fileListingHold(db.databaseName(), rpId);
}

const DbEngine& engineFor(const QString& provider) {
  static const SqliteEngine sqlite;
  static const PgEngine server;
  static const DbEngine other;
  if (provider == u"QSQLITE"_s) {
    return sqlite;
  }
  return provider == u"QPSQL"_s ? static_cast<const DbEngine&>(server) : other;
}
