#pragma once

#include <QString>

#include <optional>
#include <vector>

#include "scan/listing_model.h"

// The source identity's side tables of the program's database: written with a stored listing,
// inside its transaction, and read back to recognise a source scanned again.

/**
 * Writes source and the stamps of files 1 to lastFile under listing rpId, inside the caller's
 * transaction, with catalogued and updated as its dates (ISO 8601). Rows left under the number
 * go first. An empty source (a listing loaded, not scanned) writes none. Empty text on success,
 * else the reason.
 */
QString storeSourceIdentity(int rpId, const SourceIdentity& source, const FileStamps& stamps,
                            int lastFile, const QString& catalogued, const QString& updated);

/** A stored listing whose source may be the one scanned. */
struct StoredSource {
  int rpId = 0;
  QString name;
  int medium = 0;
  SourceIdentity identity;
  QString catalogued;
  QString updated;
  QString ubicacion;  // where the user keeps it, if said (read with the matches only)
};

/**
 * The source recorded for listing rpId (its name and medium left empty); nothing when none is
 * recorded, or, with error set, when the catalogue could not be read.
 */
std::optional<StoredSource> storedSourceOf(int rpId, QString& error);

/**
 * The stored listings whose source is the scanned one (see sameSource), the last updated
 * first; none when the catalogue keeps no sources or is not open. error is set when the catalogue
 * could not be read.
 */
std::vector<StoredSource> storedSourcesMatching(const ListingModel& scanned, QString& error);

/**
 * What the user is told of a scanned source already catalogued: «Ya está catalogado como nº 12
 * «NOMBRE» (Ubicación: Caja 3)», the last updated of matches named with its location when the
 * user keeps one, « y N más» for the others; when the scanned
 * volume's identity could not be read, that it was recognised by its files alone. Empty when
 * nothing matches.
 */
QString recognitionText(const std::vector<StoredSource>& matches, const SourceIdentity& scanned);

/** The date a store writes now, ISO 8601 in UTC. */
QString storeDateNow();
