#include "db/stored_files.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <utility>

#include "base/text_helpers.h"
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

void StoredFiles::startLoad(int rpId, const QString& root) {
  loading_ = std::async(std::launch::async, [this, rpId, root] {
    DbConnection connection;
    if (!connection.OpenExisting(BdConnectionString())) {
      return connection.lastError();
    }
    const BdConnectionScope scope(connection);
    return load(rpId, root);
  });
}

QString StoredFiles::loaded() {
  if (loading_.valid()) {
    loadFailure_ = loading_.get();
  }
  return loadFailure_;
}

QString StoredFiles::load(int rpId, const QString& root) {
  std::size_t numbers = 0;
  QString reason = loadFiles(rpId, root, numbers);
  if (reason.isEmpty() && use_ != StoredFilesUse::ReadNone && use_ != StoredFilesUse::ReadAll) {
    loadTechnical(rpId, numbers);
  }
  return reason;
}

// Each file by its path, through the directory whose range holds it.
QString StoredFiles::loadFiles(int rpId, const QString& root, std::size_t& numbers) {
  QString reason;
  const std::vector<StoredDirectory> directories = directoriesOf(rpId, reason);
  // Only files kept with their stored records need those records.
  const bool records = use_ == StoredFilesUse::KeepUnchanged;
  std::optional<QSqlQuery> rows =
      reason.isEmpty() ? BdBoundQuery(sqlStoredFilesOf(rpId, records), {}, reason) : std::nullopt;
  const std::size_t files =
      directories.empty() ? 0 : static_cast<std::size_t>(std::max(directories.back().songto, 0));
  byPath_.reserve(static_cast<qsizetype>(files));
  // Where the name, the two numbers and the stamp are in either query.
  const int name = records ? 8 : 0;
  auto directory = directories.cbegin();
  QByteArray directoryPath;
  bool directoryNamed = false;
  while (rows && rows->next()) {
    const int number = rows->value(name + 2).toInt();
    while (directory != directories.cend() && directory->songto < number) {
      ++directory;
      directoryNamed = false;
    }
    if (directory == directories.cend() || directory->songfrom > number) {
      strays_.push_back(number);
      continue;
    }
    if (!directoryNamed) {
      directoryPath = knownDirectoryPath(directory->dirname, root).toUtf8();
      directoryNamed = true;
    }
    // Conversion leaves room for three bytes a character: the key held keeps only its own.
    QByteArray path = directoryPath + QuoteToAcute(rows->value(name).toString()).toUtf8();
    path.squeeze();
    const auto at = static_cast<std::size_t>(number);
    numbers = std::max(numbers, at + 1);
    if (records) {
      records_.resize(std::max(records_.size(), at + 1));
      records_[at] = recordOf(*rows);
    }
    const QVariant bytes = rows->value(name + 3);
    const FileStamp stamp = bytes.isNull()
                                ? FileStamp{}
                                : FileStamp{bytes.toLongLong(), rows->value(name + 4).toLongLong()};
    const Entry entry{stamp, number, rows->value(name + 1).toInt(), false};
    if (const auto same = byPath_.find(path); same != byPath_.end()) {
      strays_.push_back(same->number);
      *same = entry;
    } else {
      byPath_.emplace(std::move(path), entry);
    }
  }
  return reason;
}

void StoredFiles::loadTechnical(int rpId, std::size_t numbers) {
  ListingModel stored;
  stored.NumCancionesMP3 = static_cast<int>(numbers);
  loadTechnicalFields(rpId, stored);
  if (!stored.technical.present) {
    return;
  }
  properties_.resize(numbers);
  for (std::size_t number = 1; number < numbers; ++number) {
    if (const AudioProperties* properties = stored.technical.of(static_cast<int>(number))) {
      properties_[number] = *properties;
    }
  }
}

std::optional<KnownFile> StoredFiles::take(int song, const QString& path, const FileStamp& stamp) {
  const auto entry = byPath_.find(path.toUtf8());
  if (use_ == StoredFilesUse::KeepInPlace) {
    walked_.resize(std::max<std::size_t>(walked_.size(), static_cast<std::size_t>(song) + 1));
  }
  if (entry == byPath_.end() || entry->seen) {
    added_.append(path);
    return use_ == StoredFilesUse::ReadNone ? std::optional<KnownFile>(KnownFile{}) : std::nullopt;
  }
  entry->seen = true;
  const bool changed = stampChanged(entry->stamp, stamp);
  if (changed) {
    changed_.append(path);
  } else {
    ++unchanged_;
  }
  const bool keep =
      use_ == StoredFilesUse::ReadNone || (!changed && use_ != StoredFilesUse::ReadAll);
  if (use_ == StoredFilesUse::KeepInPlace) {
    walked_[static_cast<std::size_t>(song)] = {entry->number, entry->fileorder, !keep};
  }
  if (!keep) {
    return std::nullopt;
  }
  // Moved out: a whole collection's records are then held once, by the new listing.
  const auto number = static_cast<std::size_t>(entry->number);
  KnownFile file;
  if (number < records_.size()) {
    file.record = std::move(records_[number]);
  }
  if (number < properties_.size()) {
    file.properties = properties_[number];
  }
  return file;
}

QStringList StoredFiles::removed() const {
  QStringList paths;
  for (auto entry = byPath_.cbegin(); entry != byPath_.cend(); ++entry) {
    if (!entry->seen) {
      paths.append(QString::fromUtf8(entry.key()));
    }
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

RowsInPlace StoredFiles::rowsInPlace() const {
  RowsInPlace rows{walked_, strays_};
  for (const Entry& entry : byPath_) {
    if (!entry.seen) {
      rows.gone.push_back(entry.number);
    }
  }
  std::sort(rows.gone.begin(), rows.gone.end());
  return rows;
}
