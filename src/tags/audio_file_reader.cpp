#include "tags/audio_file_reader.h"

#include <QByteArrayView>

#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/tag.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>

#include "platform/posix_file.h"
#include "tags/audio_formats.h"
#include "tags/id3v2.h"
#include "tags/mp3_rate.h"
#include "tags/ogg_length.h"

namespace {

constexpr qsizetype kId3v2HeaderSize = 10;

QString toQString(const TagLib::String& text) {
  return QString::fromStdWString(text.toWString()).trimmed();
}

bool startsWithId3v2Tag(int fd, qint64 size) {
  char header[kId3v2HeaderSize];
  return size >= kId3v2HeaderSize && readExactlyAt(fd, header, kId3v2HeaderSize, 0) &&
         id3v2TagLength(QByteArrayView(header, kId3v2HeaderSize)) > 0;
}

// ID3v1 alone: one open of the file gives its length and time, its tag and, when it has none,
// whether an ID3v2 tag starts it, so a whole collection costs no more system calls a file than
// a plain walk that reads the tags.
void readId3v1Only(const QByteArray& rawPath, CodePage page, AudioFileRead& read) {
  RegularFileStat stat;
  const UniqueFd fd = openRegularFile(rawPath, stat);
  if (!fd.valid()) {
    return;
  }
  read.stat = stat;
  read.tag = readTagAt(fd.get(), stat.size, page);
  read.unreadId3v2 = !read.tag.HasTag && startsWithId3v2Tag(fd.get(), stat.size);
}

// A field given several times (two ARTIST comments of a FLAC file) as its values joined, so
// two names do not read as one; a single value as the tag reads it.
QString textOf(const TagLib::PropertyMap& values, const char* key, const TagLib::String& single) {
  const auto it = values.find(key);
  if (it == values.end() || it->second.size() < 2) {
    return toQString(single);
  }
  return toQString(it->second.toString(kMultiValueSeparator));
}

// The generic tag of any TagLib format in the record an ID3v1 tag fills: a year of 0 and a
// track of 0 are absent ("" and -1). A file without any tag keeps the empty record (track 0),
// as an MP3 file without one does.
TagInfo recordOf(const TagLib::Tag& parsed, const TagLib::PropertyMap& values) {
  TagInfo tag;
  tag.Title = textOf(values, "TITLE", parsed.title());
  tag.Artist = textOf(values, "ARTIST", parsed.artist());
  tag.Album = textOf(values, "ALBUM", parsed.album());
  tag.Comment = textOf(values, "COMMENT", parsed.comment());
  tag.Year = parsed.year() > 0 ? QString::number(parsed.year()).left(4) : QString();
  tag.Track = parsed.track() > 0 && parsed.track() <= 32767 ? static_cast<qint16>(parsed.track())
                                                            : qint16(-1);
  setGenreFromText(tag, textOf(values, "GENRE", parsed.genre()));
  tag.HasTag = true;
  return tag;
}

// A file in which TagLib found no audio at all (no sample rate) has no technical fields.
std::optional<AudioProperties> propertiesOf(const TagLib::AudioProperties* read, qint64 bytes) {
  if (!read || read->sampleRate() <= 0) {
    return std::nullopt;
  }
  return AudioProperties{read->lengthInMilliseconds(), read->bitrate(), read->sampleRate(),
                         read->channels(), bytes};
}

// Where TagLib took an earlier page for the last one, the length and the bit rate it derived
// from it are put right.
void mendOggLength(const QByteArray& rawPath, AudioProperties& properties) {
  const std::optional<qint64> length = oggStreamLengthMs(rawPath);
  if (!length || *length == properties.durationMs) {
    return;
  }
  if (properties.durationMs > 0) {
    properties.kbps = static_cast<int>(
        qRound64(static_cast<double>(properties.kbps) * static_cast<double>(properties.durationMs) /
                 static_cast<double>(*length)));
  }
  properties.durationMs = *length;
}

bool isVorbisOrOpus(TagLib::File* file) {
  return dynamic_cast<TagLib::Ogg::Vorbis::File*>(file) != nullptr ||
         dynamic_cast<TagLib::Ogg::Opus::File*>(file) != nullptr;
}

std::optional<AudioProperties> mp3Properties(const QByteArray& rawPath) {
  TagLib::MPEG::File file(rawPath.constData(), true, TagLib::AudioProperties::Average);
  if (!file.isValid()) {
    return std::nullopt;
  }
  std::optional<AudioProperties> properties = propertiesOf(file.audioProperties(), file.length());
  if (properties) {
    mendMp3Rate(file, *properties);
  }
  return properties;
}

AudioFileRead readMp3(const QByteArray& rawPath, const TagReading& reading) {
  AudioFileRead read;
  if (reading.source == TagSource::Id3v1) {
    readId3v1Only(rawPath, reading.id3v1CodePage, read);
  } else {
    read.tag = ReadFileTags(rawPath, reading);
  }
  if (reading.properties) {
    read.properties = mp3Properties(rawPath);
  }
  return read;
}

AudioFileRead readOtherFormat(const QByteArray& rawPath, bool withProperties) {
  AudioFileRead read;
  const TagLib::FileRef ref(rawPath.constData(), withProperties, TagLib::AudioProperties::Average);
  TagLib::File* file = ref.file();
  if (ref.isNull() || !file->isValid()) {
    read.damaged = true;
    return read;
  }
  if (const TagLib::Tag* tag = file->tag(); tag && !tag->isEmpty()) {
    read.tag = recordOf(*tag, file->properties());
  }
  if (withProperties) {
    read.properties = propertiesOf(file->audioProperties(), file->length());
    if (read.properties && isVorbisOrOpus(file)) {
      mendOggLength(rawPath, *read.properties);
    }
  }
  return read;
}

}  // namespace

AudioFileRead ReadAudioFile(const QByteArray& rawPath, const TagReading& reading) {
  if (hasMp3Extension(rawPath)) {
    return readMp3(rawPath, reading);
  }
  return readOtherFormat(rawPath, reading.properties);
}
