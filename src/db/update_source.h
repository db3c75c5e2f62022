#pragma once

#include <QString>

#include <optional>

#include "scan/listing_model.h"

// Where an update of a stored listing finds its source: the folder it is told, else a mounted
// volume with the recorded identity, else the recorded path while what holds it is still that
// volume. The command line and the windows look in the same order.

/** A stored listing as an update finds it. */
struct StoredListingSource {
  int rpId = 0;
  QString name;
  int medium = 0;
  /** Nothing for a listing stored before sources were kept. */
  std::optional<SourceIdentity> identity;
  QString catalogued;
};

/** Listing rpId's name, medium and source; nothing, with error set, when it cannot be read. */
std::optional<StoredListingSource> readListingSource(int rpId, QString& error);

/**
 * The folder the listing's source is in now, without its final "/": from when given (a
 * directory), else as the order above finds it; a listing stored before sources were kept is
 * found by its path (a folder) or its label on the disc in the drive. Empty when it is not there.
 */
QString locateUpdateSource(const StoredListingSource& listing, const QString& from = {});

/** path without its final "/"; the root "/" stays itself. */
QString withoutFinalSlash(const QString& path);

/** What the user is told when a listing's disc is not there: «Inserte el disco nº 12 «NOMBRE»». */
QString insertDiscText(const StoredListingSource& listing);

/**
 * Why the source is not there: a mounted volume with the recorded label but another identity
 * is named as the wrong disc, with what the user should insert; else insertDiscText.
 */
QString missingSourceText(const StoredListingSource& listing);
