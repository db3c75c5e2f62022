#pragma once

#include <QString>

#include <vector>

#include "scan/listing_model.h"

// The notices a scan leaves for its user: what it met and did not list or read, and which
// choice would: one of the options window, or the command line's own option. They go to the
// listing window's notice strip and to the command line's standard error, never to the log.

/** Who reads a notice, and so where it points for the choice. */
enum class NoticeAdvice { OptionsWindow, CommandLine };

/** The choice of the options window, or the command line's option that makes the same one. */
QString adviceText(NoticeAdvice advice, const QString& inWindow, const QString& option);

struct ListingNotice {
  QString key;  // "id3v2", "formats"
  QString text;
};

/** One notice per count that is not 0, in that order. */
std::vector<ListingNotice> scanNoticesOf(const ScanNotices& notices,
                                         NoticeAdvice advice = NoticeAdvice::OptionsWindow);
