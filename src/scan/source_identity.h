#pragma once

#include <QString>

#include <optional>

#include "scan/listing_model.h"
#include "tags/tag_sources.h"

// The identity of a scanned source: the volume (a disc, or the file system under a folder),
// where the folder is on it, a signature of the listed files and the choices the scan was made
// with. A later scan of the same disc or folder is recognised by it, and an update tells by the
// files' stamps which of them changed.

/** "etiquetas=v1;pagina=Windows-1252;archivos=mp3;tecnicos=0;limites=classic". */
QString scanChoicesText(const TagReading& tags, ListingLimits limits);

/** The choices scanChoicesText wrote; nothing when text is not such a text. */
struct ScanChoices {
  TagReading tags;
  ListingLimits limits = ListingLimits::Classic;
};
std::optional<ScanChoices> scanChoicesFromText(const QString& text);

/**
 * The signature of a listing's files: their paths from root (the walk's start, without its
 * final "/") and sizes, sorted, hashed. The same tree listed the same way gives the same text.
 */
QString contentSignature(const ListingModel& model, const QString& root);

/**
 * The identity of the source just scanned from root: the volume mounted at the drive root (CD)
 * or holding the folder, and the signature of its files. Reads the mount table and the device;
 * a volume that cannot be read leaves its fields empty, the path and signature still kept.
 */
SourceIdentity identifySource(const ListingModel& model, const QString& root,
                              const TagReading& tags, ListingLimits limits);

/**
 * Whether a stored source (of a listing of storedMedium) is the one just scanned: the same
 * volume UUID and, for a disc, the same label, for a folder the same path on that volume; or
 * else the same signature of the listed files. A label alone never matches.
 */
bool sameSource(const SourceIdentity& stored, int storedMedium, const SourceIdentity& scanned,
                int scannedMedium);
