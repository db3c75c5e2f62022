#pragma once

#include <QString>

#include "scan/listing_model.h"

// How the technical fields read in a listing: Spanish decimal commas, times as a clock shows
// them.

/** Seconds rounded to the nearest: "m:ss", or "h:mm:ss" from one hour on. */
QString durationText(qint64 milliseconds);

/** kHz with one decimal only when not whole: "44,1", "48", "8". */
QString kilohertzText(int hertz);

/** MB of 1,000,000 bytes with one decimal: "4,7", "12,0". */
QString megabytesText(qint64 bytes);

/** The sum of the durations of files first to last that have technical fields. */
qint64 durationOfFiles(const ListingModel& model, int first, int last);

/**
 * The listing's total duration and size, for its notices; empty text when the listing has no
 * technical fields.
 */
QString listingTotalText(const ListingModel& model);
