#include "scan/source_identity.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QStringBuilder>

#include <algorithm>

#include "platform/cd_drive.h"

using namespace Qt::StringLiterals;

namespace {

QString withoutFinalSlash(const QString& path) {
  return path.size() > 1 && path.endsWith(u'/') ? path.chopped(1) : path;
}

// Paths from the root, as the listing names its directories (blanks trimmed).
QStringList relativeEntries(const ListingModel& model, const QString& root) {
  const QString prefix = withoutFinalSlash(root).trimmed();
  QStringList entries;
  entries.reserve(model.NumCancionesMP3);
  for (int dir = 1; dir <= model.NumDirectoriosMP3; ++dir) {
    const DirRecord& record = model.Directorios[static_cast<std::size_t>(dir)];
    const QString relative =
        record.dirname.startsWith(prefix) ? record.dirname.mid(prefix.size()) : record.dirname;
    for (int file = record.songfrom; file <= record.songto && file <= model.NumCancionesMP3;
         ++file) {
      const FileStamp* stamp = model.stamps.of(file);
      entries.append(relative % u'/' % model.Canciones[static_cast<std::size_t>(file)].filename %
                     u'\t' % QString::number(stamp ? stamp->size : -1));
    }
  }
  return entries;
}

}  // namespace

QString scanChoicesText(const TagReading& tags, ListingLimits limits) {
  return u"etiquetas=%1;pagina=%2;archivos=%3;tecnicos=%4;limites=%5"_s.arg(
      tagSourceKey(tags.source), codePageName(tags.id3v1CodePage), audioFilesKey(tags.files),
      tags.properties ? u"1"_s : u"0"_s, listingLimitsKey(limits));
}

std::optional<ScanChoices> scanChoicesFromText(const QString& text) {
  QHash<QString, QString> values;
  for (const QString& item : text.split(u';')) {
    const qsizetype equals = item.indexOf(u'=');
    values.insert(item.left(equals), item.mid(equals + 1));
  }
  const std::optional<TagSource> source = tagSourceFromKey(values.value(u"etiquetas"_s));
  const std::optional<CodePage> page = codePageFromName(values.value(u"pagina"_s));
  const std::optional<AudioFiles> files = audioFilesFromKey(values.value(u"archivos"_s));
  const QString properties = values.value(u"tecnicos"_s);
  const std::optional<ListingLimits> limits = listingLimitsFromKey(values.value(u"limites"_s));
  if (!source || !page || !files || (properties != u"0"_s && properties != u"1"_s) || !limits) {
    return std::nullopt;
  }
  return ScanChoices{{*source, *page, *files, properties == u"1"_s}, *limits};
}

QString contentSignature(const ListingModel& model, const QString& root) {
  QStringList entries = relativeEntries(model, root);
  // Plain code-point order: the same on every machine, whatever its locale.
  std::sort(entries.begin(), entries.end());
  entries.append(QString());  // each entry ends with a new line, the last one too
  return QString::fromLatin1(
      QCryptographicHash::hash(entries.join(u'\n').toUtf8(), QCryptographicHash::Sha256).toHex());
}

SourceIdentity identifySource(const ListingModel& model, const QString& root,
                              const TagReading& tags, ListingLimits limits) {
  SourceIdentity identity;
  identity.path = withoutFinalSlash(root);
  // An empty listing has nothing to be recognised by.
  identity.signature = model.NumCancionesMP3 > 0 ? contentSignature(model, root) : QString();
  identity.choices = scanChoicesText(tags, limits);
  identity.readerVersion = kTagReaderVersion;
  const MountedVolume mounted = volumeHolding(identity.path);
  // A drive without a disc is held by whatever holds its device path: that is not the disc.
  if (mounted.mountPoint.isEmpty() ||
      (model.FinalType == kMedioCd && mounted.mountPoint != QDir::cleanPath(identity.path))) {
    return identity;
  }
  identity.volume = mounted.volume;
  if (model.FinalType == kMedioDirectorio) {
    const QString canonical = QFileInfo(identity.path).canonicalFilePath();
    identity.relativePath =
        QDir(mounted.mountPoint).relativeFilePath(canonical.isEmpty() ? identity.path : canonical);
    if (identity.relativePath == u"."_s) {
      identity.relativePath.clear();
    }
  }
  return identity;
}

bool sameSource(const SourceIdentity& stored, int storedMedium, const SourceIdentity& scanned,
                int scannedMedium) {
  if (!scanned.volume.uuid.isEmpty() && storedMedium == scannedMedium &&
      stored.volume.uuid == scanned.volume.uuid) {
    const bool sameSpot = scannedMedium == kMedioCd ? stored.volume.label == scanned.volume.label
                                                    : stored.relativePath == scanned.relativePath;
    if (sameSpot) {
      return true;
    }
  }
  return !scanned.signature.isEmpty() && stored.signature == scanned.signature;
}
