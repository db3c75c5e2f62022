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
