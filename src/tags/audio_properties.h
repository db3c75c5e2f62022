#pragma once

#include <QtGlobal>

/**
 * The technical fields of one audio file, as TagLib's audio properties give them (for MP3 the
 * Xing or VBRI header when there is one, else the estimate from the frames; never a decode).
 */
struct AudioProperties {
  qint64 durationMs = 0;
  int kbps = 0;  // the average, for a variable bit rate
  int hz = 0;
  int channels = 0;
  qint64 bytes = 0;

  bool operator==(const AudioProperties&) const = default;
};
