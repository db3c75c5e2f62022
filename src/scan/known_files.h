#pragma once

#include <QString>

#include <optional>

#include "scan/listing_model.h"
#include "tags/audio_properties.h"

// What an update already holds of a tree's files: the walk asks for each listed file before it
// reads it, and takes the stored record of a file that did not change instead of reading it.

/** A file's record as it is stored, and its technical fields when it has them. */
struct KnownFile {
  SongRecord record;
  std::optional<AudioProperties> properties;
};

class KnownFiles {
 public:
  virtual ~KnownFiles() = default;
  /** Waits until the files can be asked for; false when they cannot be, and the walk stops. */
  virtual bool ready() = 0;
  /**
   * The listed file at path (its directory from the walk's root, "/", its name as the listing
   * keeps it, apostrophes as acute accents), the walk's song number song, has stamp: what to
   * list for it instead of reading it, or nothing to read it.
   */
  virtual std::optional<KnownFile> take(int song, const QString& path, const FileStamp& stamp) = 0;
};

/**
 * The path a KnownFiles is asked by, up to the file's name: the directory's name from root (both
 * as the listing keeps them, root without its final "/") and "/", apostrophes as acute accents.
 * The file's name follows as the listing keeps it, apostrophes as acute accents too.
 */
QString knownDirectoryPath(const QString& dirname, const QString& root);
