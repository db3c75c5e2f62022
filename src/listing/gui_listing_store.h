#pragma once

#include <QString>

#include <functional>
#include <optional>

#include "scan/listing_model.h"

class QWidget;

/**
 * Stores the listing with the hourglass pointer and frm_2bar showing the progress, letting
 * events run as rows are written; the progress window is gone when this returns. A refused or
 * failed store is shown in a message box over parent. The new listing's number, or nothing
 * when the listing was not stored.
 */
std::optional<int> storeListingWithProgress(QWidget* parent, const ListingModel& model);

/** What a store asked for once the catalogue is open came to. */
struct StoreOutcome {
  std::optional<int> stored;  // the new listing's number, when it was stored
  QString unreachable;        // why the catalogue could not be reached: nothing was sent
};

/**
 * storeListingWithProgress once the catalogue is open: a server that does not answer is tried
 * off the window's thread (whenBdOpen), so parent stays live meanwhile. A catalogue that cannot
 * be reached is left to done to say (the store was not tried, so trying again is safe); a
 * refused or failed store has its message box. done is not called when parent is gone.
 */
void storeListingWhenBdOpen(QWidget* parent, const ListingModel& model,
                            std::function<void(const StoreOutcome& outcome)> done);
