#pragma once

#include <QString>

#include <vector>

#include "scan/listing_model.h"

// The notices a scan leaves for its user: what it met and did not list or read, and which
// choice of the options window would. They go to the listing window's notice strip and to the
// command line's standard error, never to the log.

struct ListingNotice {
  QString key;  // "id3v2", "formats"
  QString text;
};

/** One notice per count that is not 0, in that order. */
std::vector<ListingNotice> scanNoticesOf(const ScanNotices& notices);
