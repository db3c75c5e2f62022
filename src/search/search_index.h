#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <vector>

#include "db/db_connection.h"
#include "db/listing_store.h"

// The search index of the program's database (BdConnection): created on a database written
// before it existed, and brought up to date with the listings its triggers noted.

/**
 * The connection the search code of the calling thread works on: the program's (BdConnection),
 * unless a SearchConnectionScope of this thread gave it one of its own.
 */
DbConnection& searchConnection();

/** While it lives, the search code of this thread works on connection. */
class SearchConnectionScope {
 public:
  explicit SearchConnectionScope(DbConnection& connection);
  ~SearchConnectionScope();
  SearchConnectionScope(const SearchConnectionScope&) = delete;
  SearchConnectionScope& operator=(const SearchConnectionScope&) = delete;

 private:
  DbConnection* previous_;
};

/**
 * The listing numbers a query gives in its first column, on db; empty, with reason set, when
 * the query fails.
 */
std::vector<QVariant> listingNumbersOf(const QSqlDatabase& db, const QString& sql, QString& reason);

/** Whether the database already has the index (an older one has not). */
bool hasSearchIndex();

/**
 * Gives an older database the index and indexes every stored listing, in one transaction,
 * reporting each listing to progress; logs one line. Empty text on success, else the reason
 * (logged), and the database is left as it was.
 */
QString createSearchIndex(const StoreProgressFn& progress = {});

/**
 * Folds and indexes the listings changed since the last update (creating the index first on an
 * older database). Empty text on success, else the reason.
 */
QString updateSearchIndex();

/**
 * Catches the index up at once after the program stored a listing, in a transaction of its
 * own once the listing is safe: the next search need not write, and a copy of the file that
 * cannot be written is searched whole. A failure is logged and left to the next search; a
 * database without the index is left without it.
 */
void indexStoredListing();
