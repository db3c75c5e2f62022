#include "platform/volume_identity.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <blkid/blkid.h>
#include <fcntl.h>

#include "platform/posix_file.h"
#include "platform/volume_label.h"

using namespace Qt::StringLiterals;

namespace {

// One libblkid probe, freed with its scope.
class Probe {
 public:
  explicit Probe(int fd) : probe_(blkid_new_probe()) {
    if (probe_ && blkid_probe_set_device(probe_, fd, 0, 0) != 0) {
      blkid_free_probe(probe_);
      probe_ = nullptr;
    }
  }
  ~Probe() {
    if (probe_) {
      blkid_free_probe(probe_);
    }
  }
  Probe(const Probe&) = delete;
  Probe& operator=(const Probe&) = delete;

  bool found() {
    if (!probe_) {
      return false;
    }
    blkid_probe_enable_superblocks(probe_, 1);
    blkid_probe_set_superblocks_flags(probe_,
                                      BLKID_SUBLKS_TYPE | BLKID_SUBLKS_UUID | BLKID_SUBLKS_LABEL);
    return blkid_do_safeprobe(probe_) == 0;
  }

  QString value(const char* name) const {
    const char* data = nullptr;
    std::size_t length = 0;
    if (blkid_probe_lookup_value(probe_, name, &data, &length) != 0 || !data) {
      return {};
    }
    return QString::fromUtf8(data, qsizetype(qstrnlen(data, length)));
  }

  qint64 size() const { return qint64(blkid_probe_get_size(probe_)); }

 private:
  blkid_probe probe_;
};

// Udev's links are named by the UUID, with "/" and other unsafe bytes written as \xHH.
QString unescapeUdevName(const QString& name) {
  QString text;
  for (qsizetype i = 0; i < name.size(); ++i) {
    bool hex = false;
    if (name.mid(i, 2) == u"\\x"_s && i + 3 < name.size()) {
      const int value = name.mid(i + 2, 2).toInt(&hex, 16);
      if (hex) {
        text += QChar(value);
        i += 3;
        continue;
      }
    }
    text += name[i];
  }
  return text;
}

QString uuidByLink(const QString& device, const QString& byUuidDir) {
  if (byUuidDir.isEmpty()) {
    return {};
  }
  const QString target = QFileInfo(device).canonicalFilePath();
  const QDir dir(byUuidDir);
  for (const QString& name :
       dir.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
    if (!target.isEmpty() && QFileInfo(dir.filePath(name)).canonicalFilePath() == target) {
      return unescapeUdevName(name);
    }
  }
  return {};
}

}  // namespace

VolumeIdentity volumeIdentityOfDevice(const QString& device, const QString& byUuidDir) {
  // O_NONBLOCK keeps an empty drive from holding up the open.
  const UniqueFd fd(
      ::open(QFile::encodeName(device).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  VolumeIdentity identity;
  if (!fd.valid()) {
    identity.uuid = uuidByLink(device, byUuidDir);
    return identity;
  }
  Probe probe(fd.get());
  identity.readable = true;
  if (probe.found()) {
    identity.type = probe.value("TYPE");
    identity.uuid = probe.value("UUID");
    identity.size = probe.size();
  }
  identity.label = volumeLabelOfDevice(device);
  return identity;
}
