#pragma once

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

/**
 * storeListingWithProgress once the catalogue is open: a server that does not answer is tried
 * off the window's thread (whenBdOpen), so parent stays live meanwhile; when it cannot be
 * reached the message box says why. done gets what storeListingWithProgress returns; it is not
 * called when parent is gone.
 */
void storeListingWhenBdOpen(QWidget* parent, const ListingModel& model,
                            std::function<void(std::optional<int> stored)> done);
