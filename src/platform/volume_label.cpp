#include "platform/volume_label.h"

#include "platform/ansi_codec.h"

#include <QFile>
#include <QStringDecoder>
#include <QtEndian>

#include <array>
#include <cerrno>
#include <functional>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Gives exactly length bytes from offset, or none where the medium ends or cannot be read.
using ImageReader = std::function<QByteArray(qint64 offset, qint64 length)>;

constexpr qint64 kSectorSize = 2048;
constexpr qint64 kFirstDescriptorOffset = 16 * kSectorSize;
// Far more descriptors than any disc has; it only bounds the work on hostile images.
constexpr int kMaxDescriptors = 64;

constexpr qint64 kIsoHeaderBytes = 96;
constexpr qint64 kIsoVolumeIdOffset = 40;
constexpr qint64 kIsoVolumeIdBytes = 32;
constexpr qint64 kIsoEscapeOffset = 88;
constexpr int kIsoPrimary = 1;
constexpr int kIsoSupplementary = 2;
constexpr int kIsoTerminator = 255;

constexpr std::array<qint64, 4> kUdfBlockSizes{2048, 512, 1024, 4096};
constexpr qint64 kUdfAnchorBlock = 256;
constexpr qint64 kUdfTagBytes = 16;
constexpr qint64 kUdfAnchorBytes = 32;
constexpr qint64 kUdfDescriptorBytes = 512;
constexpr qint64 kUdfLogicalVolumeIdOffset = 84;
constexpr qint64 kUdfLogicalVolumeIdBytes = 128;
constexpr int kUdfTagAnchor = 2;
constexpr int kUdfTagLogicalVolume = 6;
constexpr int kUdfTagTerminating = 8;

// Out-of-range fields read as 0, so a short block can never be read past its end.
template <typename T>
T littleEndianAt(const QByteArray& bytes, qsizetype at) {
  if (at < 0 || at > bytes.size() - qsizetype(sizeof(T))) {
    return 0;
  }
  return qFromLittleEndian<T>(bytes.constData() + at);
}

quint16 le16(const QByteArray& bytes, qsizetype at) {
  return littleEndianAt<quint16>(bytes, at);
}

quint32 le32(const QByteArray& bytes, qsizetype at) {
  return littleEndianAt<quint32>(bytes, at);
}

QByteArrayView beforeNul(QByteArrayView bytes) {
  const qsizetype nul = bytes.indexOf('\0');
  return nul < 0 ? bytes : bytes.first(nul);
}

QString fromUtf16Be(QByteArrayView bytes) {
  QString text;
  for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
    const auto unit = char16_t((uchar(bytes[i]) << 8) | uchar(bytes[i + 1]));
    if (unit == 0) {
      break;
    }
    text += QChar(unit);
  }
  return text;
}

QString fromUtf8OrAnsi(QByteArrayView bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(bytes);
  return utf8.hasError() ? decodeAnsi(bytes) : text;
}

// ---- ISO 9660 and Joliet -------------------------------------------------------------------

struct IsoLabels {
  QString primary;
  QString joliet;
};

bool isJolietEscape(QByteArrayView escape) {
  return escape == "%/@" || escape == "%/C" || escape == "%/E";
}

QByteArrayView isoVolumeId(const QByteArray& descriptor) {
  return QByteArrayView(descriptor).sliced(kIsoVolumeIdOffset, kIsoVolumeIdBytes);
}

// Both labels untrimmed, as recorded, so the Joliet one can be matched against the primary.
IsoLabels readIsoLabels(const ImageReader& read) {
  IsoLabels labels;
  bool havePrimary = false;
  bool haveJoliet = false;
  for (int i = 0; i < kMaxDescriptors; ++i) {
    const QByteArray d = read(kFirstDescriptorOffset + i * kSectorSize, kIsoHeaderBytes);
    if (d.isEmpty() || QByteArrayView(d).sliced(1, 5) != "CD001") {
      break;
    }
    const int type = uchar(d[0]);
    if (type == kIsoTerminator) {
      break;
    }
    if (type == kIsoPrimary && !havePrimary) {
      labels.primary = fromUtf8OrAnsi(beforeNul(isoVolumeId(d)));
      havePrimary = true;
    } else if (type == kIsoSupplementary && !haveJoliet &&
               isJolietEscape(QByteArrayView(d).sliced(kIsoEscapeOffset, 3))) {
      labels.joliet = fromUtf16Be(isoVolumeId(d));
      haveJoliet = true;
    }
  }
  return labels;
}

// Joliet holds 16 characters; when they start the primary label, the primary's tail completes
// them. Mastering tools upper-case the primary label or put '_' for what it cannot hold, so the
// lower-case form and the real character win.
QString completedJolietLabel(const QString& joliet, const QString& primary) {
  if (joliet.size() > primary.size()) {
    return joliet;
  }
  QString merged;
  for (qsizetype i = 0; i < joliet.size(); ++i) {
    const QChar j = joliet[i];
    const QChar p = primary[i];
    if (p == u'_') {
      merged += j;
    } else if (j == u'_') {
      merged += p;
    } else if (j.toCaseFolded() == p.toCaseFolded()) {
      merged += p.isLower() ? p : j;
    } else {
      return joliet;
    }
  }
  return merged + primary.sliced(joliet.size());
}

QString isoLabel(const ImageReader& read) {
  const IsoLabels labels = readIsoLabels(read);
  const QString joliet = completedJolietLabel(labels.joliet, labels.primary).trimmed();
  return joliet.isEmpty() ? labels.primary.trimmed() : joliet;
}

// ---- UDF -------------------------------------------------------------------------------------

// The tag's identifier, or -1 unless its checksum holds: a UDF reader trusts no other tag.
int udfTagId(const QByteArray& descriptor) {
  if (descriptor.size() < kUdfTagBytes) {
    return -1;
  }
  quint8 sum = 0;
  for (qsizetype i = 0; i < kUdfTagBytes; ++i) {
    if (i != 4) {
      sum += uchar(descriptor[i]);
    }
  }
  return sum == uchar(descriptor[4]) ? le16(descriptor, 0) : -1;
}

// A dstring's last byte is its length, counting the compression id in front of the characters.
QString decodeDstring(QByteArrayView field) {
  const qsizetype length = qMin<qsizetype>(uchar(field.back()), field.size() - 1);
  if (length < 1) {
    return {};
  }
  const QByteArrayView chars = field.sliced(1, length - 1);
  switch (uchar(field[0])) {
    case 8:
      return QString::fromLatin1(beforeNul(chars));
    case 16:
      return fromUtf16Be(chars);
    default:
      return {};
  }
}

// The volume recognition sequence says whether the disc has UDF at all; its descriptors take
// 2048 bytes each, or a whole block where blocks are larger.
bool hasUdfRecognition(const ImageReader& read, qint64 stride) {
  for (int i = 0; i < kMaxDescriptors; ++i) {
    const QByteArray d = read(kFirstDescriptorOffset + i * stride, 6);
    if (d.isEmpty()) {
      return false;
    }
    const QByteArrayView id = QByteArrayView(d).sliced(1, 5);
    if (id == "NSR02" || id == "NSR03") {
      return true;
    }
    if (id != "BEA01" && id != "CD001" && id != "CDW02" && id != "BOOT2") {
      return false;
    }
  }
  return false;
}

QString logicalVolumeId(const ImageReader& read, qint64 blockSize, quint32 extentBytes,
                        quint32 extentBlock) {
  const qint64 count = qMin<qint64>(extentBytes / blockSize, kMaxDescriptors);
  for (qint64 i = 0; i < count; ++i) {
    const QByteArray d = read((extentBlock + i) * blockSize, kUdfDescriptorBytes);
    const int tag = udfTagId(d);
    if (tag == kUdfTagLogicalVolume) {
      return decodeDstring(
          QByteArrayView(d).sliced(kUdfLogicalVolumeIdOffset, kUdfLogicalVolumeIdBytes));
    }
    if (d.isEmpty() || tag == kUdfTagTerminating) {
      break;
    }
  }
  return {};
}

QString udfLabel(const ImageReader& read) {
  for (const qint64 blockSize : kUdfBlockSizes) {
    if (!hasUdfRecognition(read, qMax(blockSize, kSectorSize))) {
      continue;
    }
    const QByteArray anchor = read(kUdfAnchorBlock * blockSize, kUdfAnchorBytes);
    if (udfTagId(anchor) != kUdfTagAnchor || le32(anchor, 12) != kUdfAnchorBlock) {
      continue;
    }
    // The main descriptor sequence first, then its reserve copy.
    const QString label = logicalVolumeId(read, blockSize, le32(anchor, 16), le32(anchor, 20));
    return label.isEmpty() ? logicalVolumeId(read, blockSize, le32(anchor, 24), le32(anchor, 28))
                           : label;
  }
  return {};
}

QString volumeLabel(const ImageReader& read) {
  const QString udf = udfLabel(read).trimmed();
  return udf.isEmpty() ? isoLabel(read) : udf;
}

// Block devices are not seekable through QFile, so the device is read with pread. O_NONBLOCK
// keeps an empty drive from holding up the open; its reads then simply fail.
class DeviceFile {
 public:
  explicit DeviceFile(const QString& path)
      : fd_(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {}
  ~DeviceFile() {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }
  DeviceFile(const DeviceFile&) = delete;
  DeviceFile& operator=(const DeviceFile&) = delete;

  bool isOpen() const { return fd_ >= 0; }

  QByteArray readAt(qint64 offset, qint64 length) const {
    QByteArray bytes(length, '\0');
    qint64 done = 0;
    while (done < length) {
      const ssize_t n = ::pread(fd_, bytes.data() + done, size_t(length - done), offset + done);
      if (n < 0 && errno == EINTR) {
        continue;
      }
      if (n <= 0) {
        return {};
      }
      done += n;
    }
    return bytes;
  }

 private:
  int fd_;
};

}  // namespace

QString volumeLabelFromImage(QByteArrayView image) {
  return volumeLabel([image](qint64 offset, qint64 length) {
    if (offset < 0 || offset > image.size() || length > image.size() - offset) {
      return QByteArray();
    }
    return image.sliced(offset, length).toByteArray();
  });
}

QString volumeLabelOfDevice(const QString& path) {
  const DeviceFile device(path);
  if (!device.isOpen()) {
    return {};
  }
  return volumeLabel(
      [&device](qint64 offset, qint64 length) { return device.readAt(offset, length); });
}
