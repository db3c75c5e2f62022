#include "stats/stats_sources.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

#include "db/db_connection.h"
#include "db/db_engine.h"
#include "search/search_index.h"
#include "stats/stats_sql.h"
#include "stats/stats_totals.h"

using namespace Qt::StringLiterals;

namespace {

// A statement of the figures, run on the program's connection; a failure leaves its reason.
class StatsQuery {
 public:
  StatsQuery(const QString& sql, const StatsScope& scope, QString& error)
      : query_(searchConnection().driverConnection()), error_(error) {
    query_.setForwardOnly(true);
    if (!error_.isEmpty()) {
      return;
    }
    if (searchConnection().State() != kStateOpen) {
      error_ = u"La conexión con la BD no está abierta"_s;
      return;
    }
    if (!query_.prepare(sql) || !bound(scope).exec()) {
      // A lost connection is closed, so the next use opens it again.
      error_ = u"No se pueden calcular las estadísticas de la BD: "_s +
               reasonOf(searchConnection().noteFailure(query_.lastError()));
    }
  }

  bool next() { return error_.isEmpty() && query_.next(); }
  QString text(int column) const { return query_.value(column).toString(); }
  qint64 number(int column) const { return query_.value(column).toLongLong(); }
  const QSqlQuery& query() const { return query_; }

 private:
  QSqlQuery& bound(const StatsScope& scope) {
    if (scope.rpId) {
      query_.bindValue(u":rp_id"_s, *scope.rpId);
    }
    return query_;
  }

  QSqlQuery query_;
  QString& error_;
};

qint64 countOf(const QString& sql, const StatsScope& scope, QString& error) {
  StatsQuery query(sql, scope, error);
  return query.next() ? query.number(0) : 0;
}

std::map<QString, qint64> filesBy(const QString& column, const StatsScope& scope, StatsRows rows,
                                  QString& error) {
  std::map<QString, qint64> counts;
  StatsQuery query(sqlFilesBy(column, scope, rows), scope, error);
  while (query.next()) {
    counts[query.text(0)] += query.number(1);
  }
  return counts;
}

// The figures' statements see one state of the database: no other program's write lands between
// them. Nothing is written under it.
class ReadSnapshot {
 public:
  ReadSnapshot()
      : db_(searchConnection().driverConnection()),
        started_(!engineFor(db_.driverName()).beginRead(db_).isValid()) {}
  ~ReadSnapshot() {
    if (started_) {
      db_.rollback();
    }
  }
  ReadSnapshot(const ReadSnapshot&) = delete;
  ReadSnapshot& operator=(const ReadSnapshot&) = delete;

 private:
  QSqlDatabase db_;
  bool started_;
};

}  // namespace

TagCounts countsOfListing(const ListingModel& model) {
  TagCounts counts;
  counts.directories = std::clamp(model.NumDirectoriosMP3, 0, model.lastDirectorySlot());
  counts.files = std::clamp(model.NumCancionesMP3, 0, model.lastSongSlot());
  for (int f = 1; f <= counts.files; ++f) {
    const SongRecord& song = model.Canciones[f];
    ++counts.artistAlbums[{song.artist, song.album}];
    ++counts.genres[song.genre];
    ++counts.years[song.year];
    counts.withoutTitle += song.title.isEmpty() ? 1 : 0;
    counts.withoutTag += song.track == u"0"_s ? 1 : 0;
  }
  return counts;
}

std::vector<int> listingFilesFailing(const ListingModel& model, HealthCheck check) {
  std::vector<int> files;
  const int last = std::clamp(model.NumCancionesMP3, 0, model.lastSongSlot());
  for (int f = 1; f <= last; ++f) {
    const SongRecord& s = model.Canciones[f];
    if (failsCheck(check, s.artist, s.title, s.album, s.year, s.track)) {
      files.push_back(f);
    }
  }
  return files;
}

namespace {

// What every catalogue figure starts with: the connection open and the totals caught up.
bool readyForFigures(QString& error) {
  if (searchConnection().State() != kStateOpen) {
    error = u"La conexión con la BD no está abierta"_s;
    return false;
  }
  catchUpStatsTotals();
  return true;
}

void countListingsAndDirectories(TagCounts& counts, const StatsScope& scope, StatsRows rows,
                                 QString& error) {
  if (!scope.rpId) {
    counts.listings = countOf(sqlCountListings(scope), scope, error);
  }
  counts.directories = countOf(sqlCountDirectories(scope, rows), scope, error);
}

}  // namespace

TagCounts countsOfCatalogue(const StatsScope& scope, QString& error) {
  TagCounts counts;
  if (!readyForFigures(error)) {
    return counts;
  }
  const ReadSnapshot snapshot;
  const StatsRows rows = catalogueStatsRows(scope);
  countListingsAndDirectories(counts, scope, rows, error);
  StatsQuery pairs(sqlArtistAlbums(scope, rows), scope, error);
  while (pairs.next()) {
    counts.artistAlbums[{pairs.text(0), pairs.text(1)}] += pairs.number(2);
    counts.files += pairs.number(2);
    counts.withoutTitle += pairs.number(3);
    counts.withoutTag += pairs.number(4);
  }
  counts.genres = filesBy(u"genre"_s, scope, rows, error);
  counts.years = filesBy(u"year"_s, scope, rows, error);
  return counts;
}

TagCounts totalsOfCatalogue(QString& error) {
  TagCounts counts;
  if (!readyForFigures(error)) {
    return counts;
  }
  const ReadSnapshot snapshot;
  const StatsScope scope;
  const StatsRows rows = catalogueStatsRows(scope);
  countListingsAndDirectories(counts, scope, rows, error);
  counts.files = countOf(sqlCountFiles(scope, rows), scope, error);
  return counts;
}

std::vector<CatalogueFile> catalogueFilesFailing(const StatsScope& scope, HealthCheck check,
                                                 int limit, QString& error) {
  std::vector<CatalogueFile> files;
  StatsQuery query(sqlFilesFailing(scope, check, limit), scope, error);
  while (query.next()) {
    files.push_back(catalogueFileOf(query.query()));
  }
  return files;
}
