// The ID3v1 reader over any file content: the pure decoder on the bytes, and the reader on the
// same bytes as a file, which must agree.

#include <QFile>

#include "fuzz/fuzz_support.h"
#include "tags/id3.h"

#include <cstddef>
#include <cstdint>

namespace {

bool isClean(const QString& field, qsizetype width) {
  return field.size() <= width && !field.contains(QChar(0)) && !field.endsWith(u' ');
}

void checkTag(const TagInfo& tag, QByteArrayView bytes) {
  const bool tagged = bytes.size() >= 128 && bytes.last(128).startsWith("TAG");
  FUZZ_CHECK(tag.HasTag == tagged);
  if (!tagged) {
    FUZZ_CHECK(tag.Track == 0 && tag.Genre == 0 && tag.GenreName.isEmpty());
    FUZZ_CHECK(tag.Title.isEmpty() && tag.Artist.isEmpty() && tag.Album.isEmpty() &&
               tag.Year.isEmpty() && tag.Comment.isEmpty());
    return;
  }
  FUZZ_CHECK(isClean(tag.Title, 30) && isClean(tag.Artist, 30) && isClean(tag.Album, 30));
  FUZZ_CHECK(isClean(tag.Year, 4) && isClean(tag.Comment, 30));
  FUZZ_CHECK(tag.Track == -1 || (tag.Track >= 1 && tag.Track <= 255 && tag.Comment.size() <= 28));
  FUZZ_CHECK(!tag.GenreName.isEmpty());
}

bool sameTag(const TagInfo& a, const TagInfo& b) {
  return a.HasTag == b.HasTag && a.Title == b.Title && a.Artist == b.Artist && a.Album == b.Album &&
         a.Year == b.Year && a.Comment == b.Comment && a.Genre == b.Genre &&
         a.GenreName == b.GenreName && a.Track == b.Track;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArrayView bytes(data, static_cast<qsizetype>(size));
  const TagInfo tag = tagFromFileEnd(bytes);
  checkTag(tag, bytes);
  FUZZ_CHECK(sameTag(ReadTagFile(QFile::encodeName(scratchFileWith(bytes))), tag));
  return 0;
}
