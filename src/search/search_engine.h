#pragma once

#include <QSqlQuery>
#include <QString>

#include <memory>

#include "db/catalogue_parts.h"
#include "db/listing_store.h"
#include "search/catalogue_search.h"

// The search's engine-specific half, one implementation per database engine: how the index of
// folded texts is kept and how it is queried. The program's search functions go through the
// one for the program's database.

class SearchEngine {
 public:
  virtual ~SearchEngine() = default;
  /** Whether the database has the index in the form this program makes. */
  virtual bool hasIndex() const = 0;
  /** Gives the database the index; empty text, else the reason (logged). */
  virtual QString createIndex(const StoreProgressFn& progress) const = 0;
  /** Brings the index up to date with what was written; empty text, else the reason. */
  virtual QString updateIndex() const = 0;
  virtual SearchResult search(const SearchRequest& request) const = 0;
  virtual DuplicatesResult duplicates(SearchMedium medium) const = 0;
  /**
   * Whether the database's own triggers keep the index and the statistics' per-listing totals
   * current in every writer's transaction (a server), rather than the program catching them up
   * from the noted listings (the file).
   */
  virtual bool keptCurrentByDatabase() const = 0;
  /**
   * Follows an update that rewrites listing rpId's rows in place (see ListingRewrite), from
   * inside its transaction; null when the database's triggers follow it, or, with reason set,
   * when the index cannot.
   */
  virtual std::unique_ptr<ListingRewrite> followRewrite(int /*rpId*/, QString& /*reason*/) const {
    return nullptr;
  }
};

/** The engine of the program's database (BdConnection). */
const SearchEngine& searchEngine();

// Shared by the engines: a result row read, a prepared search run, a duplicates query run.
SearchResult searchResultOf(QSqlQuery& query, const SearchRequest& request);
DuplicatesResult duplicatesOf(const QString& sql);

// The file engine's (SQLite FTS5) index, which the program brings up to date itself.
bool fileHasSearchIndex();
QString fileCreateSearchIndex(const StoreProgressFn& progress = {});
QString fileUpdateSearchIndex();
SearchResult fileSearchCatalogue(const SearchRequest& request);
DuplicatesResult fileFindDuplicates(SearchMedium medium);
std::unique_ptr<ListingRewrite> fileFollowRewrite(int rpId, QString& reason);
