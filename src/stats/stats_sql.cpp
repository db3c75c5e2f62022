#include "stats/stats_sql.h"

#include "search/search_sql.h"

using namespace Qt::StringLiterals;

namespace {

// Only files whose listing has its reports row count: without it a listing is not stored.
QString scopeCondition(const StatsScope& scope) {
  QString condition;
  if (scope.medium == SearchMedium::CDs) {
    condition += u" AND r.medio = 1"_s;
  } else if (scope.medium == SearchMedium::Directorios) {
    condition += u" AND r.medio = 2"_s;
  }
  if (scope.rpId) {
    condition += u" AND r.rp_id = :rp_id"_s;
  }
  return condition;
}

QString filesOf(const StatsScope& scope) {
  return u" FROM infoMP3 i JOIN reports r ON r.rp_id = i.rp_id WHERE 1 = 1"_s +
         scopeCondition(scope);
}

QString emptyText(const QString& column) {
  return u"COALESCE(%1, '') = ''"_s.arg(column);
}

// Four digits and nothing else, in SQL every engine has.
QString notFourDigits(const QString& column) {
  QString digits = u"LENGTH(%1) = 4"_s.arg(column);
  for (int i = 1; i <= 4; ++i) {
    digits += u" AND SUBSTR(%1, %2, 1) BETWEEN '0' AND '9'"_s.arg(column).arg(i);
  }
  return u"NOT (COALESCE(%1, '') <> '' AND %2)"_s.arg(column, digits);
}

QString failing(HealthCheck check) {
  switch (check) {
    case HealthCheck::SinArtista:
      return emptyText(u"i.artist"_s);
    case HealthCheck::SinTitulo:
      return emptyText(u"i.title"_s);
    case HealthCheck::SinAlbum:
      return emptyText(u"i.album"_s);
    case HealthCheck::SinAnyo:
      return notFourDigits(u"i.year"_s);
    case HealthCheck::SinEtiqueta:
      break;
  }
  return u"i.track = '0'"_s;
}

QString countedCase(const QString& condition) {
  return u"SUM(CASE WHEN %1 THEN 1 ELSE 0 END)"_s.arg(condition);
}

// The totals' rows of the listings in scope, as t.
QString totalsOf(const QString& table, const StatsScope& scope) {
  return u" FROM "_s + table + u" t JOIN reports r ON r.rp_id = t.rp_id WHERE 1 = 1"_s +
         scopeCondition(scope);
}

QString pairCounts() {
  return u"COUNT(*), "_s + countedCase(failing(HealthCheck::SinTitulo)) + u", "_s +
         countedCase(failing(HealthCheck::SinEtiqueta));
}

}  // namespace

QString sqlCountListings(const StatsScope& scope) {
  return u"SELECT COUNT(*) FROM reports r WHERE 1 = 1"_s + scopeCondition(scope);
}

QString sqlCountDirectories(const StatsScope& scope, StatsRows rows) {
  if (rows == StatsRows::Totals) {
    return u"SELECT COALESCE(SUM(t.directories), 0)"_s + totalsOf(u"stats_listings"_s, scope);
  }
  return u"SELECT COUNT(*) FROM estructdir d JOIN reports r ON r.rp_id = d.rp_id WHERE 1 = 1"_s +
         scopeCondition(scope);
}

// Each file is in one of its listing's genre rows, the files without a genre too.
QString sqlCountFiles(const StatsScope& scope, StatsRows rows) {
  if (rows == StatsRows::Totals) {
    return u"SELECT COALESCE(SUM(t.files), 0)"_s + totalsOf(u"stats_values"_s, scope) +
           u" AND t.field = 'genre'"_s;
  }
  return u"SELECT COUNT(*)"_s + filesOf(scope);
}

QString sqlArtistAlbums(const StatsScope& scope, StatsRows rows) {
  if (rows == StatsRows::Totals) {
    return u"SELECT t.artist, t.album, t.files, t.without_title, t.without_tag"_s +
           totalsOf(u"stats_pairs"_s, scope);
  }
  return u"SELECT i.artist, i.album, "_s + pairCounts() + filesOf(scope) +
         u" GROUP BY i.artist, i.album"_s;
}

QString sqlFilesBy(const QString& column, const StatsScope& scope, StatsRows rows) {
  if (rows == StatsRows::Totals) {
    return u"SELECT t.value, t.files"_s + totalsOf(u"stats_values"_s, scope) +
           u" AND t.field = '%1'"_s.arg(column);
  }
  return u"SELECT i.%1, COUNT(*)"_s.arg(column) + filesOf(scope) + u" GROUP BY i.%1"_s.arg(column);
}

QString sqlFilesFailing(const StatsScope& scope, HealthCheck check, int limit) {
  return u"SELECT "_s + sqlCatalogueFileColumns() + filesOf(scope) + u" AND "_s + failing(check) +
         u" ORDER BY i.rp_id, i.filegenorder LIMIT %1"_s.arg(limit);
}

QStringList sqlRefreshTotals(const QString& listing) {
  QStringList statements;
  for (const QString& table : {u"stats_pairs"_s, u"stats_values"_s}) {
    statements.append(u"DELETE FROM "_s + table + u" WHERE rp_id = "_s + listing);
  }
  // Grouped by the listing too, so each engine takes the number from the group.
  const QString files = u" FROM infoMP3 i WHERE i.rp_id = "_s + listing +
                        u" AND EXISTS (SELECT 1 FROM reports r WHERE r.rp_id = "_s + listing +
                        u") GROUP BY i.rp_id"_s;
  statements.append(u"INSERT INTO stats_pairs SELECT i.rp_id, i.artist, i.album, "_s +
                    pairCounts() + files + u", i.artist, i.album"_s);
  for (const QString& column : {u"genre"_s, u"year"_s}) {
    statements.append(
        u"INSERT INTO stats_values SELECT i.rp_id, '%1', i.%1, COUNT(*)"_s.arg(column) + files +
        u", i."_s + column);
  }
  return statements + sqlRefreshListingRow(listing);
}

QStringList sqlRefreshListingRow(const QString& listing) {
  return {u"DELETE FROM stats_listings WHERE rp_id = "_s + listing,
          u"INSERT INTO stats_listings SELECT r.rp_id, (SELECT COUNT(*) FROM "
          u"estructdir d WHERE d.rp_id = r.rp_id) FROM reports r WHERE r.rp_id = "_s +
              listing};
}

QString TotalsTableSql::rowsOf(int rpId) const {
  return u"SELECT rowid, "_s + (names + counts).join(u", "_s) + u" FROM "_s + table +
         u" WHERE rp_id = "_s + QString::number(rpId);
}

// A pair is one group of the files; each field of the values is a grouping of its own.
QString TotalsTableSql::ofFiles(int rpId, const QString& numbers) const {
  const QString files = u" FROM infoMP3 i WHERE i.rp_id = "_s + QString::number(rpId) +
                        u" AND i.filegenorder IN ("_s + numbers + u") GROUP BY "_s;
  if (counts.size() > 1) {
    return u"SELECT i.artist, i.album, "_s + pairCounts() + files + u"i.artist, i.album"_s;
  }
  QStringList fields;
  for (const QString& column : {u"genre"_s, u"year"_s}) {
    fields.append(u"SELECT '%1', i.%1, COUNT(*)"_s.arg(column) + files + u"i."_s + column);
  }
  return fields.join(u" UNION ALL "_s);
}

QString TotalsTableSql::update() const {
  return u"UPDATE "_s + table + u" SET "_s + counts.join(u" = ?, "_s) + u" = ? WHERE rowid = ?"_s;
}

QString TotalsTableSql::insert() const {
  const QStringList marks(1 + names.size() + counts.size(), u"?"_s);
  return u"INSERT INTO "_s + table + u" VALUES ("_s + marks.join(u", "_s) + u')';
}

QString TotalsTableSql::remove() const {
  return u"DELETE FROM "_s + table + u" WHERE rowid = ?"_s;
}

std::vector<TotalsTableSql> sqlTotalsTables() {
  return {{u"stats_pairs"_s,
           {u"artist"_s, u"album"_s},
           {u"files"_s, u"without_title"_s, u"without_tag"_s}},
          {u"stats_values"_s, {u"field"_s, u"value"_s}, {u"files"_s}}};
}

QString sqlListingTotalsCurrent(int rpId, const QString& noted) {
  return u"SELECT 1 FROM stats_listings WHERE rp_id = %1 AND rp_id NOT IN ("_s.arg(rpId) + noted +
         u')';
}

QString sqlListingsWithoutTotals() {
  return u"SELECT rp_id FROM reports WHERE rp_id NOT IN (SELECT rp_id FROM stats_listings)"_s;
}

QString sqlListingsNotCovered(const StatsScope& scope, const QString& noted) {
  return u"SELECT COUNT(*) FROM reports r WHERE (r.rp_id NOT IN (SELECT rp_id FROM "
         u"stats_listings) OR r.rp_id IN ("_s +
         noted + u"))"_s + scopeCondition(scope);
}
