#pragma once

#include "db/db_engine.h"

// The catalogue on a PostgreSQL server, through Qt's QPSQL driver. The connection string names
// the server the way the program's other providers do (Database, Host, Port, User ID,
// Password), plus any libpq option; what it leaves out follows libpq's own defaults (PGHOST,
// PGUSER, ~/.pgpass, the local socket), except the connect timeout, which is bounded.

class PgEngine : public DbEngine {
 public:
  QString configure(QSqlDatabase& db, const ConnectionParts& parts) const override;
  QString connectOptions(const QString& options) const override;
  QString readOnlyOptions(const QString& options) const override;
  void tuneForServing(QSqlDatabase& db) const override;
  int busyWaitMs(const QString& options) const override;
  QString prepare(QSqlDatabase& db) const override;
  QSqlError beginWrite(QSqlDatabase& db) const override;
  QSqlError beginRead(QSqlDatabase& db) const override;
  bool isBusy(const QSqlError& error) const override;
  bool isConnectionLost(const QSqlDatabase& db, const QSqlError& error) const override;
  QString openFailure(const QSqlError& error, const ConnectionParts& parts) const override;
  bool keepsFile() const override { return false; }
  QString describe(const ConnectionParts& parts) const override;
  QString loggable(const QString& connectionString) const override;
  std::function<void()> interrupter(const QSqlDatabase& db) const override;
  int rowsPerInsert() const override { return kMaxRowsPerInsert; }
  std::unique_ptr<ListingHold> holdListing(const QSqlDatabase& db, int rpId) const override {
    return serverListingHold(db, rpId);
  }
  /** A whole listing's files in one statement. */
  static constexpr int kMaxRowsPerInsert = 1000;
};

/** The connect timeout, in seconds, when the connection string names none. */
inline constexpr int kDefaultConnectTimeoutS = 5;
/**
 * The version of the catalogue's objects on a server this program makes and reads. 1: the
 * catalogue and its search; 2: the statistics' per-listing totals; 3: the technical fields'
 * table; 4: the search objects brought up to date on upgrade, the letter pairs indexed byte by
 * byte; 5: the texts searched through groups of files; 6: the marks of incomplete listings or
 * the identity of each listing's source; 7: both, each made only when missing, so a server at 5
 * or 6 gains what it lacks; 8: the user's fields of each listing (location, category, comment,
 * lent to), made when missing like every part's objects.
 */
inline constexpr int kServerSchemaVersion = 8;
