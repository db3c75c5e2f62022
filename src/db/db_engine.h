#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

#include <functional>
#include <memory>

#include "db/listing_hold.h"

struct ConnectionParts;

// What a database engine does its own way: how a connection string reaches the driver, how
// long a connection waits for another writer, how a writing transaction takes its lock, how a
// busy database or a lost connection is told from other failures, and what the database needs
// before the program uses it. A second engine is one more DbEngine.

class DbEngine {
 public:
  virtual ~DbEngine() = default;

  /**
   * Hands the connection string's items to the driver before it opens; empty text, else why the
   * string cannot name a database of this engine.
   */
  virtual QString configure(QSqlDatabase& db, const ConnectionParts& parts) const;
  /** The driver's connect options, with the engine's wait for other writers unless they set one. */
  virtual QString connectOptions(const QString& options) const { return options; }
  /**
   * The driver's connect options for a connection that only reads: the database refuses any
   * write on it, so nothing the program does through it can change the catalogue.
   */
  virtual QString readOnlyOptions(const QString& options) const { return options; }
  /**
   * Session settings for a connection among several that answer many short reads at once (the
   * web view's); one the database refuses only costs speed.
   */
  virtual void tuneForServing(QSqlDatabase&) const {}
  /** How long, in milliseconds, a connection opened with those options waits for a lock. */
  virtual int busyWaitMs(const QString& options) const;
  /**
   * Readies a freshly opened connection: session settings, and the catalogue's tables and
   * search objects when the database has none. Empty text, else the reason in Spanish.
   */
  virtual QString prepare(QSqlDatabase& db) const;
  /** Starts a transaction that holds the write lock from its first statement. */
  virtual QSqlError beginWrite(QSqlDatabase& db) const;
  /**
   * Starts a transaction that only reads and sees one state of the database throughout, so
   * statements that add up the same rows agree.
   */
  virtual QSqlError beginRead(QSqlDatabase& db) const;
  /** True when the failure is another program holding the database longer than the wait. */
  virtual bool isBusy(const QSqlError& error) const;
  /** True when the connection is gone (server stopped, backend ended, network down). */
  virtual bool isConnectionLost(const QSqlDatabase& db, const QSqlError& error) const;
  /** Why a connection could not be opened, in Spanish, from the driver's failure. */
  virtual QString openFailure(const QSqlError& error, const ConnectionParts& parts) const;
  /**
   * True when the database is a file beside the program: made from the blank template, backed
   * up, named by a path appended to the connection string. False for a server.
   */
  virtual bool keepsFile() const { return true; }
  /** What the log names as the database: the file, or the server and database. */
  virtual QString describe(const ConnectionParts& parts) const;
  /** The connection string as the log may show it (no password). */
  virtual QString loggable(const QString& connectionString) const { return connectionString; }
  /**
   * A call that, from any thread, makes the statement running on db fail at once, leaving the
   * connection usable; empty when the engine has no way to.
   */
  virtual std::function<void()> interrupter(const QSqlDatabase& db) const;
  /** Holds listing rpId of db for an update (see listing_hold.h); null when another does. */
  virtual std::unique_ptr<ListingHold> holdListing(const QSqlDatabase& db, int rpId) const;
  /**
   * How many rows a store writes with one INSERT: one where a statement costs nothing more
   * than its row, many on a server, where each statement is a round trip and fires the
   * search's statement triggers once.
   */
  virtual int rowsPerInsert() const { return 1; }
};

/** The engine behind a Qt SQL driver name. */
const DbEngine& engineFor(const QString& provider);

/** The wait, when the connection string names none, for another program's store or delete. */
inline constexpr int kDefaultBusyWaitMs = 10000;
