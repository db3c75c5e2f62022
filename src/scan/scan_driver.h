#pragma once

#include <QString>

#include "scan/directory_walker.h"
#include "scan/listing_model.h"
#include "scan/walk_path.h"

// The scan of a listing, shared by the listing window and the command line. A scan is a ScanRun
// (the start line, the clock and the reset model), one of the two ways of naming and rooting the
// listing, then the run's walk with its summary:
//
//   ScanRun run(model);
//   const WalkPath walkPath = rootDirectoryScan(model, start);   // or selectCdDrive + rootCdScan
//   run.walk(walkPath, pump);

/** One scan from its first log line to its summary. */
/** Whether a walk works out its source's identity (the model's source), which only a listing
 *  that is stored or shown in a window has a use for: its signature reads every file's name. */
enum class SourceCheck { Identify, Skip };

class ScanRun {
 public:
  /** Logs "Iniciando proceso...", starts the clock, resets both counters and empties the tree. */
  explicit ScanRun(ListingModel& model);

  /**
   * Walks walkPath and everything below it, logs the summary (or "Proceso interrumpido" when the
   * pump stopped the walk) and sets the Num* totals. The model must outlive the call. A walk cut
   * at a classic limit logs limitReachedText before its summary; leftOut() then tells what the
   * listing is missing.
   */
  WalkStop walk(const WalkPath& walkPath, const WalkPump& pump, const TagReading& tags = {},
                ListingLimits limits = ListingLimits::Classic,
                SourceCheck check = SourceCheck::Identify);

  /** The walk offers each listed file to known before reading it (see KnownFiles). */
  void takeKnownFiles(KnownFiles* known) { known_ = known; }

  /** The walk's progress so far; the pump may read it while the walk runs. */
  const WalkProgress& progress() const;
  const LeftOut& leftOut() const { return leftOut_; }

 private:
  ListingModel& model_;
  qint64 startSeconds_;
  const DirectoryWalker* walker_ = nullptr;
  KnownFiles* known_ = nullptr;
  LeftOut leftOut_;
};

/**
 * Directory mode: RutaInicial and FinalName are start as given, FinalType 2, each logged; the
 * root node is the start directory unless tree is Skip. Returns the walk path (start with a
 * final "/").
 */
WalkPath rootDirectoryScan(ListingModel& model, const WalkPath& start,
                           TreeNodes tree = TreeNodes::Build);

/** The drive a CD scan reads and the label of its disc. */
struct CdScanTarget {
  /** The drive root ("/media/cdrom/"); empty when the machine has no optical drive. */
  QString driveRoot;
  QString label;
};

/**
 * CD mode up to the stored-listing check: FinalType 1, the first optical drive and its volume
 * label (FinalName), each logged. A machine without an optical drive logs noCdDriveText() and
 * gives an empty drive root: the scan ends there.
 */
CdScanTarget selectCdDrive(ListingModel& model);

/** Roots the tree at the CD drive. Returns the walk path (the drive root). */
WalkPath rootCdScan(ListingModel& model, const QString& driveRoot);

/** What a CD scan tells the user of a machine without an optical drive. */
QString noCdDriveText();

/** The caption of a scanned listing: "[CD] " + label, or "[DIR] " + start directory. */
QString scanCaption(const ListingModel& model);

/**
 * The directory scan of a listing in one call, as the command line runs it. start should
 * already be absolute (WalkPath::absolute).
 */
WalkStop RunDirectoryScan(ListingModel& model, const WalkPath& start, const WalkPump& pump = {},
                          const TagReading& tags = {},
                          ListingLimits limits = ListingLimits::Classic);
