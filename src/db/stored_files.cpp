#include "db/stored_files.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

#include "db/mod_bd.h"
#include "db/sql_catalogue.h"
#include "db/technical_store.h"

using namespace Qt::StringLiterals;

namespace {

struct StoredDirectory {
  QString dirname;
  int songfrom = 0;
  int songto = 0;
};

std::vector<StoredDirectory> directoriesOf(int rpId, QString& reason) {
  std::optional<QSqlQuery> rows = BdBoundQuery(sqlDirectoriesOf(rpId), {}, reason);
  std::vector<StoredDirectory> directories;
  while (rows && rows->next()) {
    directories.push_back(
        {rows->value(1).toString(), rows->value(2).toInt(), rows->value(3).toInt()});
  }
  return directories;
}

// infoMP3's columns from album on, as a store wrote them.
SongRecord recordOf(const QSqlQuery& row) {
  SongRecord record;
  record.album = row.value(1).toString();
  record.artist = row.value(2).toString();
  record.comment = row.value(3).toString();
  record.genre = row.value(4).toString();
  record.title = row.value(5).toString();
  record.track = row.value(6).toString();
  record.year = row.value(7).toString();
  return record;
}

}  // namespace

bool stampChanged(const FileStamp& stored, const FileStamp& now) {
  constexpr qint64 kTimeSlackSeconds = 2;
  return stored.size < 0 || now.size < 0 || stored.size != now.size ||
         std::abs(stored.modified - now.modified) > kTimeSlackSeconds;
}

QString StoredFiles::load(int rpId, const QString& root) {
  std::vector<QString> pathOf;
  QString reason = loadFiles(rpId, root, pathOf);
  if (reason.isEmpty() && use_ != StoredFilesUse::ReadNone) {
    loadTechnical(rpId, pathOf);
  }
  if (reason.isEmpty()) {
    reason = loadStamps(rpId, pathOf);
  }
  return reason;
}

// Each file's path by its number, through the directory whose range holds it.
QString StoredFiles::loadFiles(int rpId, const QString& root, std::vector<QString>& pathOf) {
  QString reason;
  const std::vector<StoredDirectory> directories = directoriesOf(rpId, reason);
  std::optional<QSqlQuery> rows =
      reason.isEmpty() ? BdBoundQuery(sqlFilesOf(rpId), {}, reason) : std::nullopt;
  if (!directories.empty()) {
    byPath_.reserve(std::max(directories.back().songto, 0));
    pathOf.reserve(static_cast<std::size_t>(std::max(directories.back().songto, 0)) + 1);
  }
  // A comparison alone needs the files' paths and stamps, not their records.
  const bool records = use_ != StoredFilesUse::ReadNone;
  auto directory = directories.cbegin();
  while (rows && rows->next()) {
    const int number = rows->value(10).toInt();
    while (directory != directories.cend() && directory->songto < number) {
      ++directory;
    }
    if (directory == directories.cend() || directory->songfrom > number) {
      continue;
    }
    const QString path = knownFilePath(directory->dirname, root, rows->value(8).toString());
    pathOf.resize(std::max<std::size_t>(pathOf.size(), static_cast<std::size_t>(number) + 1));
    pathOf[static_cast<std::size_t>(number)] = path;
    byPath_.emplace(path,
                    Entry{{records ? recordOf(*rows) : SongRecord{}, std::nullopt}, {}, false});
  }
  return reason;
}

void StoredFiles::loadTechnical(int rpId, const std::vector<QString>& pathOf) {
  ListingModel stored;
  stored.NumCancionesMP3 = static_cast<int>(pathOf.size());
  loadTechnicalFields(rpId, stored);
  for (std::size_t number = 1; number < pathOf.size() && stored.technical.present; ++number) {
    const AudioProperties* properties = stored.technical.of(static_cast<int>(number));
    if (properties && byPath_.contains(pathOf[number])) {
      byPath_[pathOf[number]].file.properties = *properties;
    }
  }
}

QString StoredFiles::loadStamps(int rpId, const std::vector<QString>& pathOf) {
  QString reason;
  std::optional<QSqlQuery> rows = BdBoundQuery(sqlSourceStampsOf(), {rpId}, reason);
  while (rows && rows->next()) {
    const auto number = static_cast<std::size_t>(rows->value(0).toLongLong());
    const auto entry = number < pathOf.size() ? byPath_.find(pathOf[number]) : byPath_.end();
    if (entry != byPath_.end()) {
      entry->stamp = {rows->value(1).toLongLong(), rows->value(2).toLongLong()};
    }
  }
  return reason;
}

std::optional<KnownFile> StoredFiles::take(const QString& path, const FileStamp& stamp) {
  const auto entry = byPath_.find(path);
  if (entry == byPath_.end() || entry->seen) {
    added_.append(path);
    return use_ == StoredFilesUse::ReadNone ? std::optional<KnownFile>(KnownFile{}) : std::nullopt;
  }
  entry->seen = true;
  if (stampChanged(entry->stamp, stamp)) {
    changed_.append(path);
  } else {
    ++unchanged_;
  }
  const bool keep = use_ == StoredFilesUse::ReadNone ||
                    (use_ == StoredFilesUse::KeepUnchanged && !stampChanged(entry->stamp, stamp));
  // Moved out: a whole collection's records are then held once, by the new listing.
  return keep ? std::optional<KnownFile>(std::move(entry->file)) : std::nullopt;
}

QStringList StoredFiles::removed() const {
  QStringList paths;
  for (auto entry = byPath_.cbegin(); entry != byPath_.cend(); ++entry) {
    if (!entry->seen) {
      paths.append(entry.key());
    }
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}
