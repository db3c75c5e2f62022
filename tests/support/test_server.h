#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

// The tests' private PostgreSQL server, which scripts/test.sh starts (QUILLET_TEST_PGHOST,
// QUILLET_TEST_PGPORT). Each test gets a database of its own on it, dropped afterwards.

/** Why the server cannot be used; empty when it can. */
QString testServerProblem();

/**
 * Skips the test when there is no server outside CI; in CI (CI=true) the test fails instead,
 * so the server's tests are never skipped silently there.
 */
#define REQUIRE_TEST_SERVER()                                              \
  do {                                                                     \
    if (const QString problem = testServerProblem(); !problem.isEmpty()) { \
      if (qEnvironmentVariable("CI") == QStringLiteral("true")) {          \
        FAIL() << "no test server: " << problem.toStdString();             \
      }                                                                    \
      GTEST_SKIP() << "no test server: " << problem.toStdString();         \
    }                                                                      \
  } while (false)

/** The connection string items that reach the server as its superuser, database left out. */
QString testServerItems();

/** A fresh, empty database on the server, dropped (connections and all) when it goes. */
class ServerDatabase {
 public:
  ServerDatabase();
  ~ServerDatabase();
  ServerDatabase(const ServerDatabase&) = delete;
  ServerDatabase& operator=(const ServerDatabase&) = delete;

  const QString& name() const { return name_; }
  /** The cadcon value that names this database. */
  QString cadcon() const;
  /** Rows of a query on the database, each row's values joined by '|'; fails the test on error. */
  QStringList rows(const QString& sql) const;
  /** A connection of its own to the database, registered under connectionName, not opened. */
  QSqlDatabase connection(const QString& connectionName) const;
  /** Runs statements on the database as its superuser; false (and a test failure) on error. */
  bool exec(const QStringList& statements) const;

 private:
  QString name_;
};

/** Runs statements on the server's maintenance database as its superuser. */
bool execOnServer(const QStringList& statements);
