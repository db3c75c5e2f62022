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

}  // namespace

QString sqlCountListings(const StatsScope& scope) {
  return u"SELECT COUNT(*) FROM reports r WHERE 1 = 1"_s + scopeCondition(scope);
}

QString sqlCountDirectories(const StatsScope& scope) {
  return u"SELECT COUNT(*) FROM estructdir d JOIN reports r ON r.rp_id = d.rp_id WHERE 1 = 1"_s +
         scopeCondition(scope);
}

QString sqlArtistAlbums(const StatsScope& scope) {
  return u"SELECT i.artist, i.album, COUNT(*), "_s + countedCase(failing(HealthCheck::SinTitulo)) +
         u", "_s + countedCase(failing(HealthCheck::SinEtiqueta)) + filesOf(scope) +
         u" GROUP BY i.artist, i.album"_s;
}

QString sqlFilesBy(const QString& column, const StatsScope& scope) {
  return u"SELECT i.%1, COUNT(*)"_s.arg(column) + filesOf(scope) + u" GROUP BY i.%1"_s.arg(column);
}

QString sqlFilesFailing(const StatsScope& scope, HealthCheck check, int limit) {
  return u"SELECT "_s + sqlCatalogueFileColumns() + filesOf(scope) + u" AND "_s + failing(check) +
         u" ORDER BY i.rp_id, i.filegenorder LIMIT %1"_s.arg(limit);
}
