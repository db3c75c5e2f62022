#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

#include <functional>

// What a database engine does its own way when several programs share one database: how long
// a connection waits for another writer, how a writing transaction takes its lock, and how a
// busy database is told from other failures. A second engine is one more DbEngine.

class DbEngine {
 public:
  virtual ~DbEngine() = default;

  /** The driver's connect options, with the engine's wait for other writers unless they set one. */
  virtual QString connectOptions(const QString& options) const { return options; }
  /** How long, in milliseconds, a connection opened with those options waits for a lock. */
  virtual int busyWaitMs(const QString& options) const;
  /** Starts a transaction that holds the write lock from its first statement. */
  virtual QSqlError beginWrite(QSqlDatabase& db) const;
  /** True when the failure is another program holding the database longer than the wait. */
  virtual bool isBusy(const QSqlError& error) const;
  /**
   * A call that, from any thread, makes the statement running on db fail at once, leaving the
   * connection usable; empty when the engine has no way to.
   */
  virtual std::function<void()> interrupter(const QSqlDatabase& db) const;
};

/** The engine behind a Qt SQL driver name. */
const DbEngine& engineFor(const QString& provider);

/** The wait, when the connection string names none, for another program's store or delete. */
inline constexpr int kDefaultBusyWaitMs = 10000;
