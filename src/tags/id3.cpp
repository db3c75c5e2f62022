#include "tags/id3.h"

#include "platform/posix_file.h"
#include "tags/genre_table.h"

namespace {

constexpr qsizetype kBlockSize = 128;

// Field offsets and widths within the block.
constexpr qsizetype kTitle = 3;
constexpr qsizetype kArtist = 33;
constexpr qsizetype kAlbum = 63;
constexpr qsizetype kYear = 93;
constexpr qsizetype kComment = 97;
constexpr qsizetype kGenre = 127;
constexpr qsizetype kTextWidth = 30;
constexpr qsizetype kYearWidth = 4;

QString cleanField(QByteArrayView field, CodePage page) {
  const qsizetype nul = field.indexOf('\0');
  QByteArrayView text = nul < 0 ? field : field.first(nul);
  while (!text.isEmpty() && text.back() == ' ') {
    text.chop(1);
  }
  return decodeCodePage(page, text);
}

// ID3v1.1 keeps the track number in the comment's last byte behind a NUL.
qint16 trackOf(QByteArrayView comment) {
  const auto trackByte = static_cast<unsigned char>(comment[29]);
  return comment[28] == '\0' && trackByte != 0 ? trackByte : -1;
}

// block: 128 bytes that start with "TAG".
TagInfo decodeTagBlock(QByteArrayView block, CodePage page) {
  TagInfo tag;
  tag.HasTag = true;
  tag.Title = cleanField(block.sliced(kTitle, kTextWidth), page);
  tag.Artist = cleanField(block.sliced(kArtist, kTextWidth), page);
  tag.Album = cleanField(block.sliced(kAlbum, kTextWidth), page);
  tag.Year = cleanField(block.sliced(kYear, kYearWidth), page);
  const QByteArrayView comment = block.sliced(kComment, kTextWidth);
  tag.Comment = cleanField(comment, page);
  tag.Genre = static_cast<quint8>(block[kGenre]);
  tag.GenreName = GenreNameOf(tag.Genre);
  tag.Track = trackOf(comment);
  return tag;
}

}  // namespace

TagInfo ReadTagFile(const QByteArray& rawPath, CodePage page) {
  qint64 size = 0;
  const UniqueFd fd = openRegularFile(rawPath, size);
  return fd.valid() ? readTagAt(fd.get(), size, page) : TagInfo{};
}

TagInfo readTagAt(int fd, qint64 size, CodePage page) {
  char block[kBlockSize];
  if (size < kBlockSize || !readExactlyAt(fd, block, kBlockSize, size - kBlockSize)) {
    return {};
  }
  return tagFromFileEnd(QByteArrayView(block, kBlockSize), page);
}

TagInfo tagFromFileEnd(QByteArrayView fileEnd, CodePage page) {
  if (fileEnd.size() < kBlockSize) {
    return {};
  }
  const QByteArrayView block = fileEnd.last(kBlockSize);
  return block.startsWith("TAG") ? decodeTagBlock(block, page) : TagInfo{};
}
