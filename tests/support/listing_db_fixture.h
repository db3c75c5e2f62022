#pragma once

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "scan/listing_model.h"

/**
 * Gives the test a fresh program directory holding the built blank template and a config.ini
 * whose cadcon is the given one, and points the program and its log there. Returns the directory.
 */
QString installProgramFiles(const QString& cadcon = QStringLiteral("Provider=QSQLITE;"));

/**
 * A listing of directories holding the given numbers of files, numbered as a scan numbers them:
 * directory d is "/music/dir<d>", file f is "<d>-<order>.mp3" with tag texts derived from f.
 */
std::unique_ptr<ListingModel> makeListing(const QString& name, quint8 medium,
                                          const std::vector<int>& filesPerDirectory);

/** Collects the log lines written while it lives. */
class LogRecorder {
 public:
  LogRecorder();
  ~LogRecorder();
  QStringList lines;
};

/** Collects the SQL texts sent while it lives. */
class StatementRecorder {
 public:
  StatementRecorder();
  ~StatementRecorder();
  QStringList statements;
};

/**
 * Runs a query on its own connection to the database file; each row's values joined by '|'.
 * Fails the test when the query fails.
 */
QStringList queryRows(const QString& databasePath, const QString& sql);

/** A test with the program's database open on a fresh copy of the blank template. */
class BdTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  /** Rows of a query on quillet.mdb, read past the program's own connection. */
  QStringList rows(const QString& sql) const;

  QString programDir_;
};
