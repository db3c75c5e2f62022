#pragma once

#include <QByteArray>

#include <optional>

#include "platform/posix_file.h"
#include "tags/audio_properties.h"
#include "tags/id3.h"
#include "tags/tag_sources.h"

/** What a walk learns of one listed file. */
struct AudioFileRead {
  TagInfo tag;
  /** Only when reading asks for the technical fields (and the file could be read). */
  std::optional<AudioProperties> properties;
  /** An MP3 file read through ID3v1 alone, that has no ID3v1 tag but starts with an ID3v2 one. */
  bool unreadId3v2 = false;
  /** A file of another format that TagLib could not make out: its record stays empty. */
  bool damaged = false;
  /** The file's length and time, when the read took them from the one open it needed (an MP3
   *  file read through ID3v1 alone). */
  std::optional<RegularFileStat> stat;
};

/**
 * Reads the file at rawPath as reading asks. MP3 files follow the tag choice (ReadFileTags);
 * the other formats go through TagLib's own readers (FLAC and Ogg comments, MP4 atoms, ASF,
 * APE, RIFF and AIFF chunks) into the same record. With ID3v1 alone, an MP3 file without an
 * ID3v1 tag costs one more read of its first ten bytes, and a tagged one nothing more.
 */
AudioFileRead ReadAudioFile(const QByteArray& rawPath, const TagReading& reading);
