#include "tags/tag_sources.h"

#include "tags/id3v2.h"

using namespace Qt::StringLiterals;

QString tagSourceKey(TagSource source) {
  switch (source) {
    case TagSource::Id3v2:
      return u"v2"_s;
    case TagSource::Id3v1ThenId3v2:
      return u"v1v2"_s;
    case TagSource::Id3v2ThenId3v1:
      return u"v2v1"_s;
    case TagSource::Id3v1:
      break;
  }
  return u"v1"_s;
}

std::optional<TagSource> tagSourceFromKey(QStringView key) {
  for (const TagSource source :
       {TagSource::Id3v1, TagSource::Id3v2, TagSource::Id3v1ThenId3v2, TagSource::Id3v2ThenId3v1}) {
    if (key == tagSourceKey(source)) {
      return source;
    }
  }
  return std::nullopt;
}

TagInfo ReadFileTags(const QByteArray& rawPath, const TagReading& reading) {
  switch (reading.source) {
    case TagSource::Id3v2:
      return ReadId3v2Tag(rawPath).value_or(TagInfo{});
    case TagSource::Id3v2ThenId3v1:
      if (std::optional<TagInfo> tag = ReadId3v2Tag(rawPath)) {
        return *tag;
      }
      break;
    case TagSource::Id3v1ThenId3v2:
      if (TagInfo tag = ReadTagFile(rawPath, reading.id3v1CodePage); tag.HasTag) {
        return tag;
      }
      return ReadId3v2Tag(rawPath).value_or(TagInfo{});
    case TagSource::Id3v1:
      break;
  }
  return ReadTagFile(rawPath, reading.id3v1CodePage);
}
