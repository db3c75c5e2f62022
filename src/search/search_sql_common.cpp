#include "search/search_sql.h"

using namespace Qt::StringLiterals;

// The pieces of the search's statements that every engine writes the same way.

QString searchColumnOf(SearchField field) {
  switch (field) {
    case SearchField::Artista:
      return u"artist"_s;
    case SearchField::Titulo:
      return u"title"_s;
    case SearchField::Album:
      return u"album"_s;
    case SearchField::Comentario:
      return u"comment"_s;
    case SearchField::Genero:
      return u"genre"_s;
    case SearchField::Anyo:
      return u"year"_s;
    case SearchField::Archivo:
      return u"filename"_s;
    case SearchField::Directorio:
      return u"dirname"_s;
    case SearchField::Listado:
      return u"report_name"_s;
    case SearchField::Todo:
      break;
  }
  return {};
}

QString sqlMediumCondition(SearchMedium medium, const QString& reports) {
  switch (medium) {
    case SearchMedium::CDs:
      return u" AND "_s + reports + u".medio = 1"_s;
    case SearchMedium::Directorios:
      return u" AND "_s + reports + u".medio = 2"_s;
    case SearchMedium::Todos:
      break;
  }
  return {};
}

QString sqlDirectoryOfFile() {
  return u"(SELECT d.dirname FROM estructdir d WHERE d.rp_id = i.rp_id AND d.songfrom <= "
         u"i.filegenorder AND d.songto >= i.filegenorder ORDER BY d.songfrom DESC LIMIT 1)"_s;
}

namespace {

// Only a listing stored with its technical fields has a row; the others give NULL.
QString sqlDurationOfFile() {
  return u"(SELECT t.duracion_ms FROM infotecnica t WHERE t.rp_id = i.rp_id AND "
         u"t.filegenorder = i.filegenorder)"_s;
}

// One of the user's fields of the file's listing; NULL when it has none.
QString sqlPropertyOfListing(const QString& column) {
  return u"(SELECT p.%1 FROM propiedades p WHERE p.rp_id = r.rp_id)"_s.arg(column);
}

}  // namespace

QString sqlCatalogueFileColumns() {
  return u"r.rp_id, r.medio, r.report_name, "_s + sqlDirectoryOfFile() +
         u", i.filename, i.artist, i.title, i.album, i.year, i.track, i.genre, i.comment, "
         u"i.filegenorder, "_s +
         sqlDurationOfFile() + u", "_s + sqlPropertyOfListing(u"ubicacion"_s) + u", "_s +
         sqlPropertyOfListing(u"categoria"_s);
}

QString sqlListingSummary() {
  return u"SELECT r.report_name, r.medio, "_s + sqlPropertyOfListing(u"ubicacion"_s) +
         u", (SELECT count(*) FROM infoMP3 i WHERE i.rp_id = r.rp_id) FROM reports r WHERE "
         u"r.rp_id = :rp_id"_s;
}

// The listing's index on (rp_id, filegenorder) reads only the page's rows.
QString sqlListingFilesPage() {
  return u"SELECT "_s + sqlCatalogueFileColumns() +
         u" FROM infoMP3 i JOIN reports r ON r.rp_id = i.rp_id WHERE i.rp_id = :rp_id ORDER BY "
         u"i.filegenorder LIMIT :count OFFSET :offset"_s;
}

namespace {

// The order files are shown in, on the columns of table.
QString listingOrder(const QString& table) {
  return u"%1.rp_id, %1.filegenorder NULLS FIRST, %1.file"_s.arg(table);
}

// Every file found, with how many there are and from how many listings, but only the page's
// files: the files and their listings are counted in the statement, and the page's lookups
// (directory, duration, the listing's fields) run for its own files only.
QString sqlPageOfFound(const QString& found, qint64 first, int count) {
  return u"SELECT x.*, count(*) OVER () AS total, sum(x.opens) OVER () AS listings FROM "
         u"(SELECT f.*, CASE WHEN lag(f.rp_id) OVER (ORDER BY "_s +
         listingOrder(u"f"_s) + u") = f.rp_id THEN 0 ELSE 1 END AS opens FROM ("_s + found +
         u") AS f) AS x ORDER BY "_s + listingOrder(u"x"_s) +
         u" LIMIT %1 OFFSET %2"_s.arg(count).arg(first);
}

}  // namespace

QString sqlFoundFiles(const QString& found, const QString& fileRow, const SearchRequest& request) {
  const bool paged = request.shownCount > 0;
  return u"SELECT "_s + sqlCatalogueFileColumns() +
         (paged ? u", p.total, p.listings"_s : QString()) + u" FROM ("_s +
         (paged ? sqlPageOfFound(found, request.firstShown, request.shownCount) : found) +
         u") AS p"_s + fileRow + u" JOIN reports r ON r.rp_id = p.rp_id ORDER BY "_s +
         listingOrder(u"p"_s);
}
