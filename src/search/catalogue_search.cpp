#include "search/catalogue_search.h"

#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

#include "db/bd_write_guard.h"
#include "db/db_connection.h"
#include "db/mod_bd.h"
#include "search/search_index.h"
#include "search/search_sql.h"
#include "search/search_terms.h"

using namespace Qt::StringLiterals;

namespace {

// Trigrams hold three characters; shorter pieces are found through the trigrams they start.
constexpr int kTrigram = 3;
// Where the folded texts start in a search row, after the file's columns.
constexpr int kFoldedColumns = 13;
constexpr int kFoldedCount = 9;

CatalogueFile fileOf(const QSqlQuery& row, int first) {
  CatalogueFile file;
  file.rp_id = toInt16(row.value(first)).value_or(0);
  file.medio = row.value(first + 1).toInt();
  file.report_name = row.value(first + 2).toString();
  file.dirname = row.value(first + 3).toString();
  file.filename = row.value(first + 4).toString();
  file.artist = row.value(first + 5).toString();
  file.title = row.value(first + 6).toString();
  file.album = row.value(first + 7).toString();
  file.year = row.value(first + 8).toString();
  file.track = row.value(first + 9).toString();
  file.genre = row.value(first + 10).toString();
  file.comment = row.value(first + 11).toString();
  file.filegenorder = row.value(first + 12).toInt();
  return file;
}

// The index brought up to date first, unless a store or a delete is half-way on this same
// connection: the search then reads the index as it stands.
QString readyIndex() {
  if (BdConnection().State() != kStateOpen) {
    return u"La conexión con la BD no está abierta"_s;
  }
  if (isBdWriteRunning()) {
    return hasSearchIndex() ? QString() : bdBusyText();
  }
  const QString reason = updateSearchIndex();
  return reason.isEmpty() ? QString()
                          : u"No se puede poner al día el índice de búsqueda de la BD: "_s + reason;
}

QStringList trigramsStartingWith(const QString& piece, QString& reason) {
  QSqlQuery query(BdConnection().driverConnection());
  query.setForwardOnly(true);
  query.prepare(sqlTrigramsStartingWith());
  query.bindValue(u":piece"_s, piece);
  query.bindValue(u":end"_s, piece + QString::fromUcs4(U"\U0010FFFF"));
  QStringList trigrams;
  if (!query.exec()) {
    reason = reasonOf(query.lastError());
    return {};
  }
  while (query.next()) {
    trigrams.append(query.value(0).toString());
  }
  return trigrams;
}

// Whether one of the chosen folded texts of the row holds the piece.
bool holds(const QSqlQuery& row, SearchField field, const QString& piece) {
  if (field != SearchField::Todo) {
    return row.value(kFoldedColumns + static_cast<int>(field) - 1).toString().contains(piece);
  }
  for (int column = kFoldedColumns; column < kFoldedColumns + kFoldedCount; ++column) {
    if (row.value(column).toString().contains(piece)) {
      return true;
    }
  }
  return false;
}

// The places a field covers.
std::vector<SearchPlace> placesOf(SearchField field) {
  switch (field) {
    case SearchField::Todo:
      return {SearchPlace::Files, SearchPlace::Directory, SearchPlace::Listing};
    case SearchField::Directorio:
      return {SearchPlace::Directory};
    case SearchField::Listado:
      return {SearchPlace::Listing};
    default:
      break;
  }
  return {SearchPlace::Files};
}

// Beyond this many ways, the shortest pieces are left to the check of each row.
constexpr std::size_t kMostWays = 27;

class CatalogueQuery {
 public:
  explicit CatalogueQuery(const SearchRequest& request) : request_(request) {}

  SearchResult run() {
    if (result_.error = readyIndex(); !result_.error.isEmpty()) {
      return result_;
    }
    if (!plan()) {
      return result_;
    }
    const std::vector<MatchWay> ways = matchWays();
    if (ways.empty()) {
      return result_;
    }
    QSqlQuery query(BdConnection().driverConnection());
    query.setForwardOnly(true);
    const bool checking = !checked_.isEmpty();
    const SearchStatement statement =
        sqlSearch(ways, request_.medium, checking, checking ? 0 : request_.limit);
    query.prepare(statement.sql);
    for (int value = 0; value < statement.values.size(); ++value) {
      query.bindValue(value, statement.values[value]);
    }
    if (!query.exec()) {
      result_.error = u"No se puede buscar en la BD: "_s + reasonOf(query.lastError());
      return result_;
    }
    collect(query);
    return result_;
  }

 private:
  // Splits the pieces between the full-text expressions, longest first, and the check of each
  // row; false when nothing can match.
  bool plan() {
    QStringList pieces = queryPieces(request_.text);
    std::stable_sort(pieces.begin(), pieces.end(),
                     [](const QString& a, const QString& b) { return a.size() > b.size(); });
    for (const QString& piece : pieces) {
      if (piece.size() >= kTrigram) {
        phrases_.push_back({piece});
      } else {
        checked_.append(piece);
      }
    }
    if (phrases_.empty() && !checked_.isEmpty()) {
      const QString piece = checked_.takeFirst();
      phrases_.push_back(trigramsStartingWith(piece, result_.error));
      if (phrases_.back().isEmpty()) {
        return false;
      }
    }
    return !phrases_.empty();
  }

  // Each way the pieces can be shared out between the places that hold them: a piece in a
  // place none of whose rows matches it is no way at all.
  std::vector<MatchWay> matchWays() {
    using Share = std::vector<std::vector<std::size_t>>;  // per place, the phrases it holds
    const std::vector<SearchPlace> places = placesOf(request_.field);
    std::vector<Share> shares{Share(places.size())};
    for (std::size_t p = 0; p < phrases_.size(); ++p) {
      std::vector<std::size_t> holding;
      for (std::size_t place = 0; place < places.size(); ++place) {
        if (places.size() == 1 || occurs(places[place], phrases_[p])) {
          holding.push_back(place);
        }
      }
      if (holding.empty() || !result_.error.isEmpty()) {
        return {};
      }
      if (p > 0 && shares.size() * holding.size() > kMostWays) {
        checked_.append(phrases_[p].front());
        continue;
      }
      std::vector<Share> next;
      for (const Share& share : shares) {
        for (const std::size_t place : holding) {
          next.push_back(share);
          next.back()[place].push_back(p);
        }
      }
      shares = std::move(next);
    }
    std::vector<MatchWay> ways;
    for (const Share& share : shares) {
      MatchWay& way = ways.emplace_back();
      for (std::size_t place = 0; place < places.size(); ++place) {
        expressionOf(way, places[place]) = expression(share[place]);
      }
    }
    return ways;
  }

  static QString& expressionOf(MatchWay& way, SearchPlace place) {
    switch (place) {
      case SearchPlace::Directory:
        return way.directory;
      case SearchPlace::Listing:
        return way.listing;
      case SearchPlace::Files:
        break;
    }
    return way.files;
  }

  QString expression(const std::vector<std::size_t>& phrases) const {
    std::vector<QStringList> chosen;
    for (const std::size_t p : phrases) {
      chosen.push_back(phrases_[p]);
    }
    return chosen.empty() ? QString() : matchExpression(chosen, request_.field);
  }

  bool occurs(SearchPlace place, const QStringList& alternatives) {
    QSqlQuery query(BdConnection().driverConnection());
    query.setForwardOnly(true);
    query.prepare(sqlPlaceHasMatch(place));
    query.bindValue(u":expression"_s, matchExpression({alternatives}, request_.field));
    if (!query.exec()) {
      result_.error = u"No se puede buscar en la BD: "_s + reasonOf(query.lastError());
      return false;
    }
    return query.next();
  }

  void collect(QSqlQuery& query) {
    QSet<qint16> listings;
    while (query.next()) {
      if (!std::all_of(checked_.cbegin(), checked_.cend(),
                       [&](const QString& piece) { return holds(query, request_.field, piece); })) {
        continue;
      }
      result_.files.push_back(fileOf(query, 0));
      listings.insert(result_.files.back().rp_id);
      if (request_.limit > 0 && static_cast<int>(result_.files.size()) >= request_.limit) {
        break;
      }
    }
    if (query.lastError().isValid()) {
      result_.files.clear();
      result_.error = u"No se puede buscar en la BD: "_s + reasonOf(query.lastError());
      return;
    }
    result_.listings = static_cast<int>(listings.size());
  }

  const SearchRequest& request_;
  SearchResult result_;
  std::vector<QStringList> phrases_;
  QStringList checked_;
};

}  // namespace

SearchResult searchCatalogue(const SearchRequest& request) {
  return CatalogueQuery(request).run();
}

DuplicatesResult findDuplicates(SearchMedium medium) {
  DuplicatesResult result;
  if (result.error = readyIndex(); !result.error.isEmpty()) {
    return result;
  }
  QSqlQuery query(BdConnection().driverConnection());
  query.setForwardOnly(true);
  if (!query.exec(sqlDuplicates(medium))) {
    result.error = u"No se pueden buscar los duplicados en la BD: "_s + reasonOf(query.lastError());
    return result;
  }
  QString key;
  const auto closeGroup = [&] {
    if (!result.groups.empty() && result.groups.back().copies.size() < 2) {
      result.groups.pop_back();
    }
  };
  while (query.next()) {
    const QString rowKey = query.value(0).toString();
    if (result.groups.empty() || rowKey != key) {
      closeGroup();
      result.groups.emplace_back();
      key = rowKey;
    }
    result.groups.back().copies.push_back(fileOf(query, 1));
  }
  closeGroup();
  if (query.lastError().isValid()) {
    result.groups.clear();
    result.error = u"No se pueden buscar los duplicados en la BD: "_s + reasonOf(query.lastError());
  }
  return result;
}
