#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <vector>

struct StoredListing {
  int rp_id = 0;
  QString report_name;
  bool incomplete = false;  // its scan stopped before the end of its tree
};

/** The stored listings by medium, each in number order. */
struct StoredListings {
  std::vector<StoredListing> cds;
  std::vector<StoredListing> directories;
  QString error;  // set, and logged, when a query failed; the lists hold what was read
};

StoredListings readStoredListings();

/**
 * The number of the first stored listing named as this CD label, or nothing when there is none
 * (or the database cannot say, which is logged).
 */
std::optional<int> findStoredCd(const QString& label);

/**
 * Whether listing rpId has its reports row; nothing when the database cannot say (logged, with
 * the reason left in BdConnection().lastError()).
 */
std::optional<bool> isListingStored(int rpId);

/**
 * Deletes listing rpId: its reports row first, so it vanishes from view before its rows go,
 * then its directories and its files, all in one transaction. Logs a line after each statement
 * and a last one when done; pump runs after each statement. Refused while a store or another
 * delete runs. Empty text on success, else the reason (logged); nothing is deleted then.
 */
QString deleteStoredListing(int rpId, const std::function<void()>& pump = {});

/**
 * The listing number of a stored-listings tree key: "cd12" and "dir12" give 12; a key of
 * neither form, or without a leading number after its prefix, gives 0.
 */
int listingNumberOfKey(const QString& key);
