#include "tags/mp3_rate.h"

#include <QtGlobal>

#include <taglib/mpegfile.h>
#include <taglib/mpegheader.h>

#include <optional>

namespace {

using TagLib::MPEG::Header;

constexpr unsigned int kFrameHeaderSize = 4;
// A VBRI header sits at one place whatever the frame; a Xing one after the side information.
constexpr unsigned int kVbriOffset = kFrameHeaderSize + 32;
constexpr unsigned int kVbriSize = 26;
constexpr unsigned int kXingFieldsSize = 16;  // tag, flags, frames, bytes
constexpr unsigned int kFramesFlag = 0x1;
constexpr unsigned int kBytesFlag = 0x2;

/** What the first frame's header says of the whole stream. */
struct StreamHeader {
  bool constant = false;  // "Info": every frame has the first one's rate
  unsigned int frames = 0;
  std::optional<unsigned int> bytes;
};

unsigned int xingOffset(const Header& header) {
  const bool mono = header.channelMode() == Header::SingleChannel;
  const unsigned int sideInformation =
      header.version() == Header::Version1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
  return kFrameHeaderSize + sideInformation;
}

std::optional<StreamHeader> xingHeaderOf(const TagLib::ByteVector& frame, unsigned int at) {
  const bool info = frame.containsAt("Info", at);
  if ((!info && !frame.containsAt("Xing", at)) || frame.size() < at + kXingFieldsSize) {
    return std::nullopt;
  }
  const unsigned int flags = frame.toUInt(at + 4, true);
  StreamHeader header{info, 0, std::nullopt};
  unsigned int field = at + 8;
  if (flags & kFramesFlag) {
    header.frames = frame.toUInt(field, true);
    field += 4;
  }
  if ((flags & kBytesFlag) && frame.size() >= field + 4) {
    header.bytes = frame.toUInt(field, true);
  }
  return header;
}

std::optional<StreamHeader> streamHeaderOf(const TagLib::ByteVector& frame, const Header& first) {
  if (std::optional<StreamHeader> xing = xingHeaderOf(frame, xingOffset(first))) {
    return xing;
  }
  if (frame.containsAt("VBRI", kVbriOffset) && frame.size() >= kVbriOffset + kVbriSize) {
    return StreamHeader{false, frame.toUInt(kVbriOffset + 14, true),
                        frame.toUInt(kVbriOffset + 10, true)};
  }
  return std::nullopt;
}

// From the first frame to the end of the last: the stream without the tags around it.
qint64 streamBytes(TagLib::MPEG::File& file, long first) {
  const long last = file.lastFrameOffset();
  if (last < first) {
    return 0;
  }
  const Header lastHeader(&file, last, false);
  return last + lastHeader.frameLength() - first;
}

}  // namespace

void mendMp3Rate(TagLib::MPEG::File& file, AudioProperties& properties) {
  const long first = file.firstFrameOffset();
  if (first < 0) {
    return;
  }
  const Header header(&file, first, false);
  if (!header.isValid() || header.sampleRate() <= 0 || header.bitrate() <= 0) {
    return;
  }
  file.seek(first);
  const std::optional<StreamHeader> stream =
      streamHeaderOf(file.readBlock(static_cast<unsigned long>(header.frameLength())), header);
  if (!stream) {
    return;
  }
  if (stream->constant) {
    properties.kbps = header.bitrate();
    return;
  }
  if (stream->frames == 0) {
    return;
  }
  const double ms =
      static_cast<double>(stream->frames) * header.samplesPerFrame() * 1000.0 / header.sampleRate();
  const qint64 bytes = stream->bytes ? qint64(*stream->bytes) : streamBytes(file, first);
  properties.durationMs = qRound64(ms);
  properties.kbps = static_cast<int>(qRound64(static_cast<double>(bytes) * 8.0 / ms));
}
