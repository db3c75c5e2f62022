#pragma once

#include <QString>

#include <vector>

#include "db/catalogue_parts.h"

// The history of a listing's updates in place (the side table actualizaciones): one row per
// update, written in its transaction, deleted with the listing, carried by copy-db.

const CataloguePart& updateHistoryPart();

/** One update of a listing: when (ISO 8601, UTC), what it changed and how long it took. */
struct UpdateHistoryRow {
  QString date;
  int added = 0;
  int removed = 0;
  int changed = 0;
  double seconds = 0;

  bool operator==(const UpdateHistoryRow&) const = default;
};

/** Writes row under listing rpId inside the caller's transaction; empty text, else the reason. */
QString writeUpdateHistory(int rpId, const UpdateHistoryRow& row);

/**
 * Listing rpId's updates, the oldest first; none for a listing never updated, or when the
 * catalogue cannot say (error set).
 */
std::vector<UpdateHistoryRow> readUpdateHistory(int rpId, QString* error = nullptr);
