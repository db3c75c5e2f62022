#include "search/search_engine.h"

#include "db/mod_bd.h"
#include "search/search_index.h"
#include "search/search_server.h"

using namespace Qt::StringLiterals;

namespace {

class FileSearchEngine : public SearchEngine {
 public:
  bool hasIndex() const override { return fileHasSearchIndex(); }
  QString createIndex(const StoreProgressFn& progress) const override {
    return fileCreateSearchIndex(progress);
  }
  QString updateIndex() const override { return fileUpdateSearchIndex(); }
  SearchResult search(const SearchRequest& request) const override {
    return fileSearchCatalogue(request);
  }
  DuplicatesResult duplicates(SearchMedium medium) const override {
    return fileFindDuplicates(medium);
  }
  bool keptCurrentByDatabase() const override { return false; }
  std::unique_ptr<ListingRewrite> followRewrite(int rpId, QString& reason) const override {
    return fileFollowRewrite(rpId, reason);
  }
};

}  // namespace

const SearchEngine& searchEngine() {
  static const FileSearchEngine file;
  static const ServerSearchEngine server;
  return searchConnection().driverConnection().driverName() == u"QPSQL"_s
             ? static_cast<const SearchEngine&>(server)
             : file;
}
