#include "tags/id3v2.h"

#include <taglib/commentsframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tfile.h>

#include "platform/posix_file.h"
#include "tags/genre_table.h"

namespace {

constexpr qsizetype kHeaderSize = 10;
constexpr qsizetype kFooterSize = 10;
constexpr char kFooterFlag = 0x10;

// TagLib reads a tag from a File; this one is the tag's bytes in memory, so the file itself is
// read once, by us, and only as far as the tag goes.
class TagBytes : public TagLib::File {
 public:
  explicit TagBytes(TagLib::IOStream* stream) : TagLib::File(stream) {}
  TagLib::Tag* tag() const override { return nullptr; }
  TagLib::AudioProperties* audioProperties() const override { return nullptr; }
  bool save() override { return false; }
};

QString toQString(const TagLib::String& text) {
  return QString::fromStdWString(text.toWString());
}

const TagLib::ID3v2::FrameList* framesOf(const TagLib::ID3v2::Tag& tag, const char* id) {
  const TagLib::ID3v2::FrameListMap& frames = tag.frameListMap();
  const auto it = frames.find(id);
  return it == frames.end() || it->second.isEmpty() ? nullptr : &it->second;
}

// The values of the first such frame: an ID3v2.4 text frame may hold several.
TagLib::StringList valuesOf(const TagLib::ID3v2::Tag& tag, const char* id) {
  const TagLib::ID3v2::FrameList* frames = framesOf(tag, id);
  if (!frames) {
    return {};
  }
  const auto* text = dynamic_cast<const TagLib::ID3v2::TextIdentificationFrame*>(frames->front());
  if (!text || text->fieldList().isEmpty()) {
    return TagLib::StringList(frames->front()->toString());
  }
  return text->fieldList();
}

// A multi-valued genre, track or year keeps its first value.
QString firstField(const TagLib::ID3v2::Tag& tag, const char* id) {
  const TagLib::StringList values = valuesOf(tag, id);
  return values.isEmpty() ? QString() : toQString(values.front());
}

// Two artists in one frame read as two names, not as one with a blank in it.
QString joinedFields(const TagLib::ID3v2::Tag& tag, const char* id) {
  return toQString(valuesOf(tag, id).toString(kMultiValueSeparator));
}

// The comment meant for everyone is the one without a description.
QString commentOf(const TagLib::ID3v2::Tag& tag) {
  const TagLib::ID3v2::FrameList* frames = framesOf(tag, "COMM");
  if (!frames) {
    return {};
  }
  for (const TagLib::ID3v2::Frame* frame : *frames) {
    const auto* comment = dynamic_cast<const TagLib::ID3v2::CommentsFrame*>(frame);
    if (comment && comment->description().isEmpty()) {
      return toQString(comment->text());
    }
  }
  return toQString(frames->front()->toString());
}

// The recording time, else the year of an ID3v2.3 tag, else the release time (where eyeD3 puts
// the year of a 2.4 tag), else the original release time: the first that has a text.
QString yearOf(const TagLib::ID3v2::Tag& tag) {
  for (const char* id : {"TDRC", "TYER", "TDRL", "TDOR"}) {
    if (const QString year = firstField(tag, id).left(4); !year.isEmpty()) {
      return year;
    }
  }
  return {};
}

qint16 trackOf(const QString& track) {
  bool ok = false;
  const int number = track.section(u'/', 0, 0).trimmed().toInt(&ok);
  return ok && number >= 0 && number <= 32767 ? static_cast<qint16>(number) : qint16(-1);
}

std::optional<TagInfo> recordOf(const TagLib::ID3v2::Tag& parsed) {
  TagInfo tag;
  tag.HasTag = true;
  tag.Title = joinedFields(parsed, "TIT2");
  tag.Artist = joinedFields(parsed, "TPE1");
  tag.Album = joinedFields(parsed, "TALB");
  tag.Year = yearOf(parsed);
  tag.Comment = commentOf(parsed);
  const QString track = firstField(parsed, "TRCK");
  tag.Track = track.isEmpty() ? qint16(-1) : trackOf(track);
  setGenreFromText(tag, firstField(parsed, "TCON"));
  const bool shown = !tag.Title.isEmpty() || !tag.Artist.isEmpty() || !tag.Album.isEmpty() ||
                     !tag.Year.isEmpty() || !tag.Comment.isEmpty() || !tag.GenreName.isEmpty() ||
                     !track.isEmpty();
  return shown ? std::optional(tag) : std::nullopt;
}

std::optional<TagInfo> parseTag(TagLib::ByteVectorStream& stream) {
  TagBytes file(&stream);
  const TagLib::ID3v2::Tag parsed(&file, 0);
  return recordOf(parsed);
}

}  // namespace

// "17" and "(17)" refer to the genre table; any other text is the genre's name.
void setGenreFromText(TagInfo& tag, const QString& genre) {
  QStringView number = genre;
  if (number.startsWith(u'(') && number.endsWith(u')')) {
    number = number.sliced(1, number.size() - 2);
  }
  bool ok = false;
  const uint value = number.toUInt(&ok);
  if (ok && value <= 255 && !number.startsWith(u'+')) {
    tag.Genre = static_cast<quint8>(value);
    tag.GenreName = GenreNameOf(tag.Genre);
  } else {
    tag.GenreName = genre;
  }
}

qint64 id3v2TagLength(QByteArrayView header) {
  if (header.size() < kHeaderSize || !header.startsWith("ID3")) {
    return 0;
  }
  const auto byte = [&](qsizetype at) { return static_cast<unsigned char>(header[at]); };
  // Versions 2 to 4, a defined revision, and a size of four 7-bit bytes.
  if (byte(3) < 2 || byte(3) > 4 || byte(4) == 0xFF) {
    return 0;
  }
  qint64 size = 0;
  for (qsizetype at = 6; at < kHeaderSize; ++at) {
    if (byte(at) >= 0x80) {
      return 0;
    }
    size = (size << 7) | byte(at);
  }
  const bool footer = byte(3) == 4 && (header[5] & kFooterFlag) != 0;
  return kHeaderSize + size + (footer ? kFooterSize : 0);
}

std::optional<TagInfo> ReadId3v2Tag(const QByteArray& rawPath) {
  qint64 fileSize = 0;
  const UniqueFd fd = openRegularFile(rawPath, fileSize);
  char header[kHeaderSize];
  if (!fd.valid() || fileSize < kHeaderSize || !readExactlyAt(fd.get(), header, kHeaderSize, 0)) {
    return std::nullopt;
  }
  const qint64 length = id3v2TagLength(QByteArrayView(header, kHeaderSize));
  if (length == 0 || length > fileSize) {
    return std::nullopt;
  }
  // Read straight into the stream TagLib parses, so the tag is never copied.
  TagLib::ByteVectorStream stream{TagLib::ByteVector()};
  TagLib::ByteVector& bytes = *stream.data();
  bytes.resize(static_cast<unsigned int>(length));
  if (!readExactlyAt(fd.get(), bytes.data(), length, 0)) {
    return std::nullopt;
  }
  return parseTag(stream);
}

std::optional<TagInfo> id3v2TagFromBytes(QByteArrayView tagBytes) {
  const qint64 length = id3v2TagLength(tagBytes);
  if (length == 0 || length > tagBytes.size()) {
    return std::nullopt;
  }
  TagLib::ByteVectorStream stream(
      TagLib::ByteVector(tagBytes.data(), static_cast<unsigned int>(length)));
  return parseTag(stream);
}
