#pragma once

#include <QString>

// Where a stored listing's files are now: its disc or folder found among what is mounted by the
// identity recorded when it was stored, so a disk mounted elsewhere is still found and another
// disc under the same label is not taken for it.

/** A directory of a stored listing, as the catalogue names it. */
struct OriginalRequest {
  int rpId = 0;
  QString name;
  int medium = 0;
  QString dirname;  // as stored: the path it had when scanned; empty for the listing's root
};

/**
 * The folder that holds the directory now, when its source is present: a mounted volume with
 * the recorded UUID (and, for a disc, label), or for a listing stored before identities were
 * kept, the stored folder itself; empty when it is not there (or, for the root of a listing
 * stored before, not known).
 */
QString originalFolder(const OriginalRequest& request);

/** «Inserte el disco nº 12 «NOMBRE» (Ubicación: Caja 3)», the location only when kept. */
QString insertDiscText(const OriginalRequest& request);
