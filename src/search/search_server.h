#pragma once

#include "search/search_engine.h"

// The search on a database server: the server keeps its index itself, by triggers, whoever
// writes the catalogue, so there is never anything to bring up to date.

class ServerSearchEngine : public SearchEngine {
 public:
  bool hasIndex() const override { return true; }
  QString createIndex(const StoreProgressFn&) const override { return {}; }
  QString updateIndex() const override { return {}; }
  SearchResult search(const SearchRequest& request) const override;
  DuplicatesResult duplicates(SearchMedium medium) const override;
  bool keptCurrentByDatabase() const override { return true; }
};
