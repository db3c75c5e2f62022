#include "tags/ogg_length.h"

#include <QtEndian>
#include <QtMath>

#include "platform/posix_file.h"

namespace {

constexpr qsizetype kPageHeaderSize = 27;
// A page holds at most 255 segments of 255 bytes, behind its header and segment table.
constexpr qsizetype kLargestPage = kPageHeaderSize + 255 + 255 * 255;
constexpr qsizetype kHeadSize = 4096;
constexpr qint64 kOpusRate = 48000;

struct PageHeader {
  qint64 granule = -1;
  quint32 serial = 0;
  qsizetype length = 0;  // header, segment table and body
  qsizetype bodyStart = 0;
};

// The page header at the start of bytes, when one is there whole with its segment table.
std::optional<PageHeader> pageAt(QByteArrayView bytes) {
  if (bytes.size() < kPageHeaderSize || !bytes.startsWith("OggS") || bytes[4] != '\0') {
    return std::nullopt;
  }
  const auto* raw = reinterpret_cast<const uchar*>(bytes.data());
  const qsizetype segments = raw[26];
  if (bytes.size() < kPageHeaderSize + segments) {
    return std::nullopt;
  }
  PageHeader page;
  page.granule = qFromLittleEndian<qint64>(raw + 6);
  page.serial = qFromLittleEndian<quint32>(raw + 14);
  page.bodyStart = kPageHeaderSize + segments;
  page.length = page.bodyStart;
  for (qsizetype segment = 0; segment < segments; ++segment) {
    page.length += raw[kPageHeaderSize + segment];
  }
  return page;
}

struct StreamStart {
  quint32 serial = 0;
  qint64 granule = 0;
  qint64 rate = 0;
  qint64 preSkip = 0;
};

// The codec of the first packet: Vorbis gives its rate, Opus its pre-skip at 48 kHz.
std::optional<StreamStart> streamStart(QByteArrayView head) {
  const std::optional<PageHeader> first = pageAt(head);
  if (!first) {
    return std::nullopt;
  }
  const QByteArrayView body = head.sliced(std::min(first->bodyStart, head.size()));
  const auto* raw = reinterpret_cast<const uchar*>(body.data());
  StreamStart start{first->serial, first->granule, 0, 0};
  if (body.size() >= 16 && body.startsWith("\x01vorbis")) {
    start.rate = qFromLittleEndian<quint32>(raw + 12);
  } else if (body.size() >= 12 && body.startsWith("OpusHead")) {
    start.rate = kOpusRate;
    start.preSkip = qFromLittleEndian<quint16>(raw + 10);
  }
  return start.rate > 0 ? std::optional(start) : std::nullopt;
}

// The granule of the stream's last page that ends a packet: searched from the end, a header
// counts only when its whole page lies within the bytes.
std::optional<qint64> lastGranule(QByteArrayView tail, quint32 serial) {
  for (qsizetype at = tail.lastIndexOf("OggS"); at >= 0;
       at = at > 0 ? tail.lastIndexOf("OggS", at - 1) : -1) {
    const std::optional<PageHeader> page = pageAt(tail.sliced(at));
    if (page && page->serial == serial && page->granule >= 0 && at + page->length <= tail.size()) {
      return page->granule;
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<qint64> oggStreamLengthMs(QByteArrayView head, QByteArrayView tail) {
  const std::optional<StreamStart> start = streamStart(head);
  if (!start) {
    return std::nullopt;
  }
  const std::optional<qint64> end = lastGranule(tail, start->serial);
  if (!end) {
    return std::nullopt;
  }
  const qint64 frames = *end - start->granule - start->preSkip;
  if (frames <= 0) {
    return std::nullopt;
  }
  return qRound64(static_cast<double>(frames) * 1000.0 / static_cast<double>(start->rate));
}

std::optional<qint64> oggStreamLengthMs(const QByteArray& rawPath) {
  qint64 size = 0;
  const UniqueFd fd = openRegularFile(rawPath, size);
  if (!fd.valid()) {
    return std::nullopt;
  }
  QByteArray head(static_cast<qsizetype>(std::min<qint64>(size, kHeadSize)), Qt::Uninitialized);
  QByteArray tail(static_cast<qsizetype>(std::min<qint64>(size, kLargestPage)), Qt::Uninitialized);
  if (!readExactlyAt(fd.get(), head.data(), head.size(), 0) ||
      !readExactlyAt(fd.get(), tail.data(), tail.size(), size - tail.size())) {
    return std::nullopt;
  }
  return oggStreamLengthMs(head, tail);
}
