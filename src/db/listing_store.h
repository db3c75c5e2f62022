#pragma once

#include <QString>

#include <functional>

#include "scan/listing_model.h"

struct RowsInPlace;

/** Where a store stands, for the progress window. */
struct StoreProgress {
  QString step;         // "Preparando", "Volcando directorios", "Volcando mp3"
  int overall = 0;      // 0 while directories are written, 1 while files are, 2 at the end
  int stepMaximum = 0;  // number of directories, then of files
  int stepValue = 0;    // number of the row just written
};

/**
 * Called at each step and after every row; the window's callback also lets pending events run,
 * which may start other commands meanwhile.
 */
using StoreProgressFn = std::function<void(const StoreProgress& progress)>;

struct StoreResult {
  int rp_id = 0;  // the new listing's number, when stored
  QString error;  // why nothing was stored, in Spanish
  bool ok() const { return error.isEmpty(); }
};

/**
 * Stores the listing in the database as a new listing: its directories, its files up to the
 * first without a file name, and last the row that names it, under the highest number in use
 * plus one. All of it is one transaction, so a failure, or the process dying, leaves the
 * database as it was. Refused while another store or delete runs, and when the number would
 * pass the largest 32-bit number. Writes to the log only on failure.
 */
StoreResult Save2bd(const ListingModel& model, const StoreProgressFn& progress = {});

/** What a store over a stored listing keeps of it, and what it writes beside the rows. */
struct StoreOver {
  int rpId = 0;
  /** The stored listing's date of cataloguing, which its source keeps (ISO 8601). */
  QString catalogued;
  /** Written last, in the same transaction; empty text, else the reason. */
  std::function<QString(int rpId)> alsoWrite;
  /**
   * Where the model's files were stored, when the rows of those that did not change stay
   * where they are (see rows_in_place.h); null to write every row again.
   */
  const RowsInPlace* inPlace = nullptr;
};

/**
 * Stores the listing over stored listing over.rpId in one transaction: its directories, files,
 * technical fields, mark of incomplete and source become the model's, as Save2bd would store
 * them, while its row (number and name) and whatever else is kept under its number stay. A
 * failure, or the process dying, leaves the listing as it was. Refused as Save2bd is, and when
 * no listing has the number.
 */
StoreResult replaceStoredListing(const ListingModel& model, const StoreOver& over,
                                 const StoreProgressFn& progress = {});
