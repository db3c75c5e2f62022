#pragma once

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "scan/listing_model.h"
#include "support/test_server.h"

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

struct CopiedListing;

/**
 * Copies every listing of the program's database to the SQLite file at target (made from the
 * blank template when missing), as copy-db does; what each listing came to. Fails the test when
 * the copy cannot start.
 */
std::vector<CopiedListing> copyEveryListingTo(const QString& target);

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

/** Where the program's database lives in a test. */
enum class Engine { File, Server };

/** A test with the program's database open on a fresh copy of the blank template. */
class BdTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  /** Rows of a query on the database, read past the program's own connection. */
  QStringList rows(const QString& sql) const;
  /** Opens the program's database: a fresh file, or a fresh database on the test server. */
  void openOn(Engine engine);
  bool onServer() const { return server_ != nullptr; }

  QString programDir_;
  std::unique_ptr<ServerDatabase> server_;
};

/** The same tests against both engines: INSTANTIATE_ON_BOTH_ENGINES(Suite). */
class EngineBdTest : public BdTest, public ::testing::WithParamInterface<Engine> {
 protected:
  void SetUp() override;
};

std::string engineName(const ::testing::TestParamInfo<Engine>& info);
inline void PrintTo(Engine engine, std::ostream* os) {
  *os << (engine == Engine::Server ? "server" : "file");
}

#define INSTANTIATE_ON_BOTH_ENGINES(Suite)                                                  \
  INSTANTIATE_TEST_SUITE_P(Engines, Suite, ::testing::Values(Engine::File, Engine::Server), \
                           engineName)
