#include "stats/stats_part.h"

#include "stats/stats_sql_server.h"
#include "stats/stats_totals.h"
#include "stats/totals_rewrite.h"

namespace {

class StatsTotalsPart : public CataloguePart {
 public:
  // A failure is logged; such a database's statistics count the files.
  void programCatalogueOpened() const override { (void)ensureTotalsTables(); }

  QStringList serverObjects(QSqlDatabase&, QString&) const override {
    return sqlCreateServerTotals();
  }

  std::unique_ptr<ListingRefresh> fileListingRefresh(const QSqlDatabase& db) const override {
    auto totals = std::make_unique<TotalsWriter>(db);
    return totals->present() ? std::move(totals) : nullptr;
  }

  std::unique_ptr<ListingRewrite> listingRewrite(int rpId, QString& reason) const override {
    return followTotalsRewrite(rpId, reason);
  }
};

}  // namespace

const CataloguePart& statsTotalsPart() {
  static const StatsTotalsPart part;
  return part;
}
