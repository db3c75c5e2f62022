#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

#include "platform/code_pages.h"
#include "tags/audio_formats.h"
#include "tags/id3.h"

// Where a file's tag comes from: ID3v1 only (the program's own way), ID3v2 only, or one of the
// two with the other standing in when the first is missing.

enum class TagSource { Id3v1, Id3v2, Id3v1ThenId3v2, Id3v2ThenId3v1 };

/** "v1", "v2", "v1v2" or "v2v1", as the command line and the settings store name them. */
QString tagSourceKey(TagSource source);

std::optional<TagSource> tagSourceFromKey(QStringView key);

/**
 * What the walk lists and how it reads each file; the default value lists and reads exactly as
 * the program always has (MP3 files, their ID3v1 tag, no technical fields).
 */
struct TagReading {
  TagSource source = TagSource::Id3v1;
  CodePage id3v1CodePage = CodePage::Windows1252;
  AudioFiles files = AudioFiles::Mp3;
  bool properties = false;  // duration, bit rate, sample rate, channels and size

  bool operator==(const TagReading&) const = default;
};

/**
 * The tag of the file at rawPath as reading asks. With Id3v1 it is ReadTagFile and nothing else:
 * no byte of an ID3v2 tag is read. A missing or damaged tag gives way to the other source, or
 * to the empty record; reading never fails.
 */
TagInfo ReadFileTags(const QByteArray& rawPath, const TagReading& reading);
