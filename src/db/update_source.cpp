#include "db/update_source.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "db/mod_bd.h"
#include "db/original_place.h"
#include "db/source_store.h"
#include "db/sql_catalogue.h"
#include "platform/cd_drive.h"

using namespace Qt::StringLiterals;

namespace {

bool isDirectory(const QString& path) {
  return !path.isEmpty() && QFileInfo(path).isDir();
}

// The mounted volume with the stored identity: the disc itself, or the folder on it.
QString mountedSource(const StoredListingSource& listing) {
  const SourceIdentity& identity = *listing.identity;
  const MountedVolume mounted = mountedVolumeWithUuid(identity.volume.uuid);
  if (mounted.mountPoint.isEmpty()) {
    return {};
  }
  if (listing.medium == kMedioCd) {
    return mounted.volume.label == identity.volume.label ? mounted.mountPoint : QString();
  }
  return QDir::cleanPath(mounted.mountPoint + u'/' + identity.relativePath);
}

// The stored path, while what holds it is still the volume it was on.
QString storedPathSource(const SourceIdentity& identity) {
  if (!isDirectory(identity.path)) {
    return {};
  }
  const bool sameVolume = identity.volume.uuid.isEmpty() ||
                          volumeHolding(identity.path).volume.uuid == identity.volume.uuid;
  return sameVolume ? identity.path : QString();
}

// A listing stored before sources were kept: a folder by its path, a disc by its label.
QString sourceByName(const StoredListingSource& listing) {
  if (listing.medium != kMedioCd) {
    return isDirectory(listing.name) ? withoutFinalSlash(listing.name) : QString();
  }
  const CdDrive drive = findCdDrive();
  const bool labelled = drive.state == CdDriveState::Mounted && !listing.name.isEmpty() &&
                        GetVolumeLabel(drive.root).trimmed() == listing.name;
  return labelled ? withoutFinalSlash(drive.root) : QString();
}

}  // namespace

QString withoutFinalSlash(const QString& path) {
  return path.size() > 1 && path.endsWith(u'/') ? path.chopped(1) : path;
}

QString locateUpdateSource(const StoredListingSource& listing, const QString& from) {
  if (!from.isEmpty()) {
    return isDirectory(from) ? withoutFinalSlash(QDir(from).absolutePath()) : QString();
  }
  if (!listing.identity) {
    return sourceByName(listing);
  }
  if (!listing.identity->volume.uuid.isEmpty()) {
    if (const QString mounted = mountedSource(listing); isDirectory(mounted)) {
      return mounted;
    }
  }
  return storedPathSource(*listing.identity);
}

std::optional<StoredListingSource> readListingSource(int rpId, QString& error) {
  QSqlQuery row(BdConnection().driverConnection());
  if (!row.exec(sqlListingByNumber(rpId))) {
    error = reasonOf(BdConnection().noteFailure(row.lastError()));
    return std::nullopt;
  }
  if (!row.next()) {
    error = u"no hay ningún listado con el número %1 en la base de datos"_s.arg(rpId);
    return std::nullopt;
  }
  StoredListingSource listing{rpId, row.value(1).toString(), row.value(2).toInt(), {}, {}};
  row.finish();
  QString unread;
  const std::optional<StoredSource> stored = storedSourceOf(rpId, unread);
  if (!unread.isEmpty()) {
    error = unread;
    return std::nullopt;
  }
  if (stored) {
    listing.identity = stored->identity;
    listing.catalogued = stored->catalogued;
  }
  return listing;
}

QString insertDiscText(const StoredListingSource& listing) {
  return insertDiscText(OriginalRequest{listing.rpId, listing.name, listing.medium, {}});
}

QString missingSourceText(const StoredListingSource& listing) {
  const VolumeIdentity recorded = listing.identity ? listing.identity->volume : VolumeIdentity();
  // Without a recorded label and UUID no other disc can be told from the right one.
  if (!recorded.label.isEmpty() && !recorded.uuid.isEmpty()) {
    for (const MountedVolume& mounted : mountedVolumes()) {
      if (mounted.volume.label == recorded.label && mounted.volume.uuid != recorded.uuid) {
        return u"El disco insertado «%1» (UUID %2) no es el que se pide. "_s.arg(
                   mounted.volume.label,
                   mounted.volume.uuid.isEmpty() ? u"desconocido"_s : mounted.volume.uuid) +
               insertDiscText(listing);
      }
    }
  }
  return insertDiscText(listing);
}
