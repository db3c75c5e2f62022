#include "tags/id3.h"

#include "platform/ansi_codec.h"
#include "platform/posix_file.h"
#include "tags/genre_table.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

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

QString cleanField(QByteArrayView field) {
  const qsizetype nul = field.indexOf('\0');
  QByteArrayView text = nul < 0 ? field : field.first(nul);
  while (!text.isEmpty() && text.back() == ' ') {
    text.chop(1);
  }
  return decodeAnsi(text);
}

// ID3v1.1 keeps the track number in the comment's last byte behind a NUL.
qint16 trackOf(QByteArrayView comment) {
  const auto trackByte = static_cast<unsigned char>(comment[29]);
  return comment[28] == '\0' && trackByte != 0 ? trackByte : -1;
}

// Reads exactly size bytes at offset; false on any error or short read.
bool readAt(int fd, char* buffer, qsizetype size, off_t offset) {
  qsizetype done = 0;
  while (done < size) {
    const ssize_t got = ::pread(fd, buffer + done, static_cast<size_t>(size - done),
                                offset + static_cast<off_t>(done));
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      return false;
    }
    done += got;
  }
  return true;
}

// block: 128 bytes that start with "TAG".
TagInfo decodeTagBlock(QByteArrayView block) {
  TagInfo tag;
  tag.HasTag = true;
  tag.Title = cleanField(block.sliced(kTitle, kTextWidth));
  tag.Artist = cleanField(block.sliced(kArtist, kTextWidth));
  tag.Album = cleanField(block.sliced(kAlbum, kTextWidth));
  tag.Year = cleanField(block.sliced(kYear, kYearWidth));
  const QByteArrayView comment = block.sliced(kComment, kTextWidth);
  tag.Comment = cleanField(comment);
  tag.Genre = static_cast<quint8>(block[kGenre]);
  tag.GenreName = GenreNameOf(tag.Genre);
  tag.Track = trackOf(comment);
  return tag;
}

}  // namespace

TagInfo ReadTagFile(const QByteArray& rawPath) {
  // Non-blocking, so a FIFO that slipped through can never hang the reader.
  const UniqueFd fd(::open(rawPath.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat info;
  if (!fd.valid() || fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
      info.st_size < kBlockSize) {
    return {};
  }
  char block[kBlockSize];
  if (!readAt(fd.get(), block, kBlockSize, info.st_size - kBlockSize)) {
    return {};
  }
  return tagFromFileEnd(QByteArrayView(block, kBlockSize));
}

TagInfo tagFromFileEnd(QByteArrayView fileEnd) {
  if (fileEnd.size() < kBlockSize) {
    return {};
  }
  const QByteArrayView block = fileEnd.last(kBlockSize);
  return block.startsWith("TAG") ? decodeTagBlock(block) : TagInfo{};
}
