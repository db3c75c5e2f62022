#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "db/connection_string.h"
#include "db/db_failure.h"
#include "db/listing_hold.h"

// A small connection layer in the shape of the Connection and Recordset objects the program was
// designed around, over Qt SQL. Every statement goes through one wrapper, which hands its text
// to the statement hook and reports failures one way: false, and the database's reason in
// DbConnection::lastError().

/** Receives every SQL text just before it is sent; one hook at a time. */
using StatementHook = std::function<void(const QString& sql)>;
void setStatementHook(StatementHook hook);

inline constexpr int kStateClosed = 0;
inline constexpr int kStateOpen = 1;

class DbEngine;
class QThread;
struct SqlRow;

class DbConnection {
 public:
  DbConnection();
  ~DbConnection();
  DbConnection(const DbConnection&) = delete;
  DbConnection& operator=(const DbConnection&) = delete;

  /** Opens the database the connection string names; false when it cannot. */
  [[nodiscard]] bool Open(const QString& connectionString);
  /** Open, except that a file that is not there is not made: false, saying it is missing. */
  [[nodiscard]] bool OpenExisting(const QString& connectionString);
  int State() const;
  /**
   * True when the connection is open; a connection that could not be opened, or was lost, is
   * opened again first with the same connection string, a file only while it is still there.
   */
  [[nodiscard]] bool ensureOpen();
  /**
   * Readies the open connection to answer many short reads beside others, as the web view's
   * do (DbEngine::tuneForServing); a setting refused costs only speed.
   */
  void tuneForServing();
  /** True when a connection that cannot be opened now may be later, on its next use (a server's).
   */
  bool reconnects() const;
  /** Runs a statement that returns no rows; it has taken effect when this returns true. */
  [[nodiscard]] bool Execute(const QString& sql);
  /**
   * Runs a query and hands each row to row as it is read, none kept (for results too large
   * for a DbRecordset); false, with lastError(), when the query fails.
   */
  [[nodiscard]] bool ForEachRow(const QString& sql,
                                const std::function<void(const QSqlRecord& row)>& row);
  void Close();

  /**
   * Starts a transaction holding the write lock (every transaction here writes), waiting for
   * another program's writer as long as the connection string allows.
   */
  [[nodiscard]] bool BeginTrans();
  [[nodiscard]] bool CommitTrans();
  void RollbackTrans();

  /** Names of the tables the database holds, as the driver reports them. */
  QStringList tables() const;

  /**
   * The driver's connection, for the search index's statements, which the program runs beside
   * the catalogue's; they bypass the statement hook, which sees only the catalogue's.
   */
  QSqlDatabase driverConnection() const;
  /**
   * Holds listing rpId for an update while the hold lives: null when an update of it already
   * runs, on this connection or anywhere else (see listing_hold.h).
   */
  std::unique_ptr<ListingHold> holdListing(int rpId);

  /** How many rows a store writes with one INSERT on this connection (see DbEngine). */
  int rowsPerInsert() const;

  /** What stops this connection's running statement from another thread (see DbEngine). */
  std::function<void()> interrupter() const;

  /**
   * Why the last operation failed, in the database's own words when it gave any; a database
   * another program kept busy past the wait is said in Spanish.
   */
  const QString& lastError() const { return lastError_; }
  /**
   * Records a failure of a statement run on driverConnection() as lastError() would, closing a
   * lost connection so the next use reconnects; returns the error.
   */
  QSqlError noteFailure(const QSqlError& error);

 private:
  friend class DbRecordset;
  friend class DbRowInserter;
  void showToHook(const QString& sql) const;
  std::optional<QSqlQuery> run(const QString& sql);
  QString openDriver(const ConnectionParts& parts);
  bool fail(const QString& reason);
  bool fail(const QSqlError& error);

  const QString name_;
  const DbEngine* engine_ = nullptr;
  int busyWaitMs_ = 0;
  QString connectionString_;  // kept for a server, to reconnect
  const QThread* madeOn_ = nullptr;
  QString lastError_;
};

/**
 * A result set read in full when it is opened (a client-side cursor), so its row count is known
 * at once and no statement stays active on the connection while the rows are read.
 */
class DbRecordset {
 public:
  /** Runs the query; a result set still open from an earlier query is closed first. */
  [[nodiscard]] bool Open(const QString& sql, DbConnection& connection);
  int State() const { return open_ ? kStateOpen : kStateClosed; }
  int RecordCount() const { return static_cast<int>(rows_.size()); }
  /** A field of the current row; an invalid value past the last row or for an unknown name. */
  QVariant Fields(const QString& name) const;
  QVariant Fields(int position) const;
  void MoveNext();
  /** Closing a closed result set does nothing. */
  void Close();

 private:
  const QSqlRecord* currentRow() const;

  std::vector<QSqlRecord> rows_;
  std::size_t current_ = 0;
  bool open_ = false;
};

/**
 * Inserts rows through one prepared statement, made again only when a row is for another table,
 * so a listing of 100,000 files is not 100,000 statements for the database to parse. The
 * statement hook sees each row as its literal insert (SqlRow::literal()), the statement the row
 * stands for. Keep it no longer than the rows it writes: it holds a statement on the connection.
 */
class DbRowInserter {
 public:
  explicit DbRowInserter(DbConnection& connection)
      : connection_(connection), rowsPerInsert_(std::max(1, connection.rowsPerInsert())) {}
  /**
   * Inserts row, or gathers it for the next statement on an engine that takes many rows to one
   * (see DbEngine::rowsPerInsert); false, with the connection's lastError(), when it fails.
   */
  [[nodiscard]] bool Insert(const SqlRow& row);
  /** Writes the rows still gathered; false, with the connection's lastError(), when it fails. */
  [[nodiscard]] bool Flush();

 private:
  bool prepareFor(const SqlRow& row);
  bool gather(const SqlRow& row);

  DbConnection& connection_;
  const int rowsPerInsert_;
  std::optional<QSqlQuery> query_;
  QString table_;  // what query_ inserts into, and how many values
  qsizetype columns_ = 0;
  QStringList gathered_;  // the value groups, "(...)", of the rows not yet written
};

/**
 * One transaction on a connection: rolled back when it goes out of scope, unless Commit()
 * succeeded.
 */
class ScopedTransaction {
 public:
  explicit ScopedTransaction(DbConnection& connection);
  ~ScopedTransaction();
  ScopedTransaction(const ScopedTransaction&) = delete;
  ScopedTransaction& operator=(const ScopedTransaction&) = delete;

  bool started() const { return started_; }
  [[nodiscard]] bool Commit();

 private:
  DbConnection& connection_;
  bool started_ = false;
  bool committed_ = false;
};

/** A whole number read from the database as a 32-bit listing value; nothing when it is not one. */
std::optional<int> toInt32(const QVariant& value);
