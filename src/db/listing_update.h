#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

#include "db/listing_hold.h"
#include "db/stored_files.h"
#include "db/update_source.h"
#include "scan/directory_walker.h"
#include "scan/listing_model.h"
#include "scan/source_identity.h"

// An update of a stored listing in place: its source found again, walked with the listing's own
// choices, compared file by file with what is stored, and its rows stored over the old ones
// under the same number, in one transaction.

/** What an update was asked for. */
struct UpdateRequest {
  int rpId = 0;
  /** Where the source is, when the user says so; else it is looked for. */
  QString from;
  /** Every file is read again, changed or not. */
  bool reread = false;
  /** Only the comparison: nothing is read and nothing is written. */
  bool dryRun = false;
};

/** The outcome of an update's walk, before anything is written. */
struct UpdatePlan {
  StoredListingSource listing;
  /** Where the source was found, without its final "/". */
  QString root;
  ScanChoices choices;
  /** The listing kept no choices: those saved in the options were taken. */
  bool savedChoices = false;
  QStringList added;
  QStringList removed;
  QStringList changed;
  int unchanged = 0;
  /**
   * Every file kept its stored record, from the same place: the rows a fresh scan would store
   * are the stored ones, and only the dates and the history are written.
   */
  bool rowsUnchanged = false;
  /**
   * Where each file of the walk was stored, when the rows of unchanged files stay in place
   * (their records are then not in model); empty when every row is written again.
   */
  std::optional<RowsInPlace> inPlace;
  /** The listing's rows as they will be stored; null for a dry run. */
  std::unique_ptr<ListingModel> model;
  /** Held from the walk to the end of the apply, so no other update of the listing runs. */
  std::unique_ptr<ListingHold> hold;
  /** When the update began (QDateTime::currentMSecsSinceEpoch), for its history. */
  qint64 startedMs = 0;

  /** More than half of the files would be added or removed. */
  bool halfChanged() const;
};

/** What an update stopped during its walk says. */
QString updateCancelledText();

/** «Más de la mitad de los archivos cambiaría: ¿es el disco correcto?» */
QString halfChangedText();

/**
 * Finds listing request.rpId's source and walks it with its choices (or saved, for a listing
 * that kept none), comparing every file with the stored ones and reading only those the request
 * asks for. Nothing, with error set to what the user is told, when the listing, its source or
 * its catalogue cannot be read, or another update of it runs. keepWalking is asked now and then
 * during the walk: false stops it, and the update ends there (updateCancelledText).
 */
std::optional<UpdatePlan> planUpdate(const UpdateRequest& request, const ScanChoices& saved,
                                     QString& error, const WalkPump& keepWalking = {});

/**
 * Stores the plan's rows over its listing and one row of its history (the update's counts and
 * time from its start), in one transaction; the caller then catches the search index up, as
 * after a store. Empty text, else why nothing was written.
 */
QString applyUpdate(const UpdatePlan& plan);
