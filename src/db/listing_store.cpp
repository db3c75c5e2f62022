#include "db/listing_store.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <vector>

#include <QSqlQuery>

#include "base/log.h"
#include "db/bd_write_guard.h"
#include "db/incomplete_listings.h"
#include "db/mod_bd.h"
#include "db/rows_in_place.h"
#include "db/source_store.h"
#include "db/sql_catalogue.h"
#include "db/technical_store.h"

using namespace Qt::StringLiterals;

namespace {

// The rows to write, copied up front: the progress callback lets windows run, and one of them
// may be the listing's own window, closing.
struct ListingRows {
  QString name;
  int medium = 0;
  std::vector<DirRecord> directories;
  std::vector<SongRecord> songs;
  TechnicalFields technical;
  bool incomplete = false;
  FileStamps stamps;
  SourceIdentity source;
};

ListingRows rowsOf(const ListingModel& model) {
  const int dirs = std::clamp(model.NumDirectoriosMP3, 0, model.lastDirectorySlot());
  const int songs = std::clamp(model.NumCancionesMP3, 0, model.lastSongSlot());
  return {
      model.FinalName,
      model.FinalType,
      std::vector<DirRecord>(model.Directorios.begin() + 1, model.Directorios.begin() + 1 + dirs),
      std::vector<SongRecord>(model.Canciones.begin() + 1, model.Canciones.begin() + 1 + songs),
      model.technical,
      model.notices.incomplete,
      model.stamps,
      model.source};
}

class StoreRun {
 public:
  StoreRun(const ListingModel& model, const StoreProgressFn& progress,
           const StoreOver* over = nullptr)
      : rows_(rowsOf(model)), progressFn_(progress), over_(over) {}

  StoreResult run();

 private:
  std::optional<int> nextNumber();
  std::optional<int> clearStoredRows();
  bool forgetRows(const QString& sql, int rpId);
  bool writeDirectories(int rpId);
  bool writeSongs(int rpId);
  bool writeSongsInPlace(int rpId);
  bool writeTechnical(int rpId);
  bool writeIncompleteMark(int rpId);
  bool writeSource(int rpId);
  void report() const;
  bool refuse(const QString& reason);

  const ListingRows rows_;
  const StoreProgressFn& progressFn_;
  const StoreOver* over_;
  StoreProgress progress_;
  QString error_;
  int songsWritten_ = 0;
  RewriteFollowers followers_;
};

StoreResult StoreRun::run() {
  progress_.step = u"Preparando"_s;
  report();
  ScopedTransaction transaction(BdConnection());
  if (!transaction.started()) {
    return {0, BdConnection().lastError()};
  }
  const std::optional<int> rpId = over_ ? clearStoredRows() : nextNumber();
  const bool inPlace = over_ && over_->inPlace;
  if (!rpId || !writeDirectories(*rpId) ||
      !(inPlace ? writeSongsInPlace(*rpId) : writeSongs(*rpId)) || !writeTechnical(*rpId) ||
      !writeIncompleteMark(*rpId) || !writeSource(*rpId)) {
    return {0, error_};
  }
  if (over_ && over_->alsoWrite) {
    if (const QString reason = over_->alsoWrite(*rpId); !reason.isEmpty()) {
      return {0, reason};
    }
  }
  // A listing stored over keeps its own row: whatever else is kept under its number stays.
  if ((!over_ && !BdConnection().Execute(sqlListingRow(*rpId, rows_.name, rows_.medium))) ||
      !transaction.Commit()) {
    return {0, BdConnection().lastError()};
  }
  progress_.overall = 2;
  report();
  return {*rpId, {}};
}

std::optional<int> StoreRun::nextNumber() {
  DbRecordset& recordset = BdRecordset();
  recordset.Close();
  if (!recordset.Open(sqlHighestNumber(), BdConnection())) {
    refuse(BdConnection().lastError());
    return std::nullopt;
  }
  const QVariant highest = recordset.Fields(0);
  recordset.Close();
  const qlonglong next = highest.isNull() ? 1 : highest.toLongLong() + 1;
  if (next > std::numeric_limits<int>::max()) {
    refuse(u"No caben más listados en la BD: ya se ha usado el número más alto posible (%1)"_s.arg(
        std::numeric_limits<int>::max()));
    return std::nullopt;
  }
  return static_cast<int>(next);
}

// The rows of the listing stored over go first; its row, and the number, stay.
std::optional<int> StoreRun::clearStoredRows() {
  const int rpId = over_->rpId;
  DbRecordset& recordset = BdRecordset();
  recordset.Close();
  if (!recordset.Open(sqlListingByNumber(rpId), BdConnection())) {
    refuse(BdConnection().lastError());
    return std::nullopt;
  }
  const bool stored = recordset.RecordCount() > 0;
  recordset.Close();
  if (!stored) {
    refuse(u"El listado nº %1 ya no está en la BD"_s.arg(rpId));
    return std::nullopt;
  }
  // Rows kept in place are followed from before anything of the listing is written.
  if (over_->inPlace && !followers_.start(rpId, error_)) {
    return std::nullopt;
  }
  if (!BdConnection().Execute(sqlDeleteDirectories(rpId)) ||
      (!over_->inPlace && !BdConnection().Execute(sqlDeleteFiles(rpId)))) {
    refuse(BdConnection().lastError());
    return std::nullopt;
  }
  if (!forgetRows(sqlForgetTechnicalRows(), rpId) || !forgetRows(sqlForgetIncompleteMark(), rpId)) {
    return std::nullopt;
  }
  return rpId;
}

bool StoreRun::forgetRows(const QString& sql, int rpId) {
  QString reason;
  return BdBoundQuery(sql, {rpId}, reason) || refuse(reason);
}

bool StoreRun::writeDirectories(int rpId) {
  progress_ = {u"Volcando directorios"_s, 0, static_cast<int>(rows_.directories.size()), 0};
  report();
  DbRowInserter inserter(BdConnection());
  for (const DirRecord& dir : rows_.directories) {
    if (!inserter.Insert(sqlDirectoryRow(rpId, dir))) {
      return refuse(BdConnection().lastError());
    }
    ++progress_.stepValue;
    report();
  }
  return inserter.Flush() || refuse(BdConnection().lastError());
}

bool StoreRun::writeSongs(int rpId) {
  progress_ = {u"Volcando mp3"_s, 1, static_cast<int>(rows_.songs.size()), 0};
  report();
  QString reason;
  const std::size_t files = filesToStore(rows_.songs, reason);
  if (!reason.isEmpty()) {
    return refuse(reason);
  }
  DbRowInserter inserter(BdConnection());
  for (int filegenorder = 1; filegenorder <= static_cast<int>(files); ++filegenorder) {
    const SongRecord& song = rows_.songs[static_cast<std::size_t>(filegenorder - 1)];
    if (!inserter.Insert(sqlFileRow(rpId, song, song.fileorder.toInt(), filegenorder))) {
      return refuse(BdConnection().lastError());
    }
    progress_.stepValue = filegenorder;
    songsWritten_ = filegenorder;
    report();
  }
  return inserter.Flush() || refuse(BdConnection().lastError());
}

bool StoreRun::writeSongsInPlace(int rpId) {
  progress_ = {u"Volcando mp3"_s, 1, static_cast<int>(rows_.songs.size()), 0};
  report();
  songsWritten_ = writeRowsInPlace(rpId, rows_.songs, *over_->inPlace, followers_, error_);
  return songsWritten_ >= 0;
}

// Only a listing that has technical fields writes any: the others send the statements they
// always have.
bool StoreRun::writeTechnical(int rpId) {
  if (!rows_.technical.present) {
    return true;
  }
  const QString reason = storeTechnicalFields(rpId, rows_.technical, songsWritten_);
  return reason.isEmpty() || refuse(reason);
}

// Only a listing whose scan stopped early is marked: a whole one sends no more statements.
bool StoreRun::writeIncompleteMark(int rpId) {
  if (!rows_.incomplete) {
    return true;
  }
  const QString reason = markListingIncomplete(rpId);
  return reason.isEmpty() || refuse(reason);
}

bool StoreRun::writeSource(int rpId) {
  const QString now = storeDateNow();
  const QString catalogued = over_ && !over_->catalogued.isEmpty() ? over_->catalogued : now;
  const QString reason =
      storeSourceIdentity(rpId, rows_.source, rows_.stamps, songsWritten_, catalogued, now);
  return reason.isEmpty() || refuse(reason);
}

void StoreRun::report() const {
  if (progressFn_) {
    progressFn_(progress_);
  }
}

bool StoreRun::refuse(const QString& reason) {
  error_ = reason;
  return false;
}

StoreResult storeGuarded(const ListingModel& model, const StoreProgressFn& progress,
                         const StoreOver* over) {
  const BdWriteGuard guard;
  StoreResult result =
      guard.acquired() ? StoreRun(model, progress, over).run() : StoreResult{0, bdBusyText()};
  if (!result.ok()) {
    WriteLog(u"No se ha podido almacenar el listado en la BD: "_s + result.error);
  }
  return result;
}

}  // namespace

StoreResult Save2bd(const ListingModel& model, const StoreProgressFn& progress) {
  return storeGuarded(model, progress, nullptr);
}

StoreResult replaceStoredListing(const ListingModel& model, const StoreOver& over,
                                 const StoreProgressFn& progress) {
  return storeGuarded(model, progress, &over);
}
