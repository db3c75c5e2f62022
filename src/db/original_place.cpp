#include "db/original_place.h"

#include <QDir>
#include <QFileInfo>

#include "base/log.h"
#include "db/listing_properties.h"
#include "db/source_store.h"
#include "platform/cd_drive.h"
#include "scan/listing_model.h"

using namespace Qt::StringLiterals;

namespace {

QString existingFolder(const QString& path) {
  return QFileInfo(path).isDir() ? QDir::cleanPath(path) : QString();
}

// Where the source's root is on a mounted volume of the recorded identity.
QString rootOn(const MountedVolume& mounted, const StoredSource& stored, int medium) {
  const VolumeIdentity& recorded = stored.identity.volume;
  if (mounted.volume.uuid != recorded.uuid ||
      (medium == kMedioCd && mounted.volume.label != recorded.label)) {
    return {};
  }
  return medium == kMedioCd ? mounted.mountPoint
                            : QDir(mounted.mountPoint).filePath(stored.identity.relativePath);
}

QString folderFromIdentity(const StoredSource& stored, const QString& dirname, int medium) {
  const QString root = stored.identity.path;
  const QString below = dirname.startsWith(root) ? dirname.mid(root.size()) : QString();
  for (const MountedVolume& mounted : mountedVolumes()) {
    if (const QString base = rootOn(mounted, stored, medium); !base.isEmpty()) {
      if (const QString folder = existingFolder(base + below); !folder.isEmpty()) {
        return folder;
      }
    }
  }
  return {};
}

}  // namespace

QString originalFolder(const OriginalRequest& request) {
  QString error;
  const std::optional<StoredSource> stored = storedSourceOf(request.rpId, error);
  if (!error.isEmpty()) {
    WriteLog(u"No se puede leer el origen del listado número %1 de la BD: %2"_s.arg(
        QString::number(request.rpId), error));
  }
  if (!stored) {
    return existingFolder(request.dirname);
  }
  const QString dirname = request.dirname.isEmpty() ? stored->identity.path : request.dirname;
  // No UUID read when it was stored: only the stored folder can be it.
  if (stored->identity.volume.uuid.isEmpty()) {
    return existingFolder(dirname);
  }
  return folderFromIdentity(*stored, dirname, request.medium);
}

QString insertDiscText(const OriginalRequest& request) {
  QString reason;
  const ListingProperties fields =
      readListingProperties(request.rpId, reason).value_or(ListingProperties());
  return u"Inserte el disco nº %1 «%2»"_s.arg(request.rpId).arg(request.name) +
         locationSuffix(fields.ubicacion);
}
