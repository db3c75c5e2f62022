#pragma once

#include <QString>

#include <optional>
#include <vector>

#include "scan/listing_model.h"
#include "search/catalogue_search.h"
#include "stats/collection_stats.h"

// Where the figures come from: the files of one listing model, or the stored catalogue (all of
// it, one medium, or one stored listing) through SQL aggregates, so no listing is loaded.

TagCounts countsOfListing(const ListingModel& model);

/** The numbers of the listing's files that fail the check, in file order. */
std::vector<int> listingFilesFailing(const ListingModel& model, HealthCheck check);

/** Which stored listings the figures cover. */
struct StatsScope {
  SearchMedium medium = SearchMedium::Todos;
  std::optional<int> rpId;  // one stored listing
};

/** The catalogue's counts; on failure error holds the reason in Spanish. */
TagCounts countsOfCatalogue(const StatsScope& scope, QString& error);
/**
 * Only the catalogue's listings, directories and files, which the per-listing totals give in
 * a few sums: a figure that needs every artist and album is not among them.
 */
TagCounts totalsOfCatalogue(QString& error);

/** Up to limit stored files that fail the check, in listing and file order. */
std::vector<CatalogueFile> catalogueFilesFailing(const StatsScope& scope, HealthCheck check,
                                                 int limit, QString& error);
