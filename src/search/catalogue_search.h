#pragma once

#include <QString>

#include <optional>
#include <vector>

class QSqlQuery;

// Finding files across every stored listing: a search over the folded texts of the file rows,
// their directories and their listings, and the groups of files stored more than once. Both
// read the program's database (BdConnection) as it is when they run.

/** Where a search looks: every text of a file, or one of them. */
enum class SearchField {
  Todo,
  Artista,
  Titulo,
  Album,
  Comentario,
  Genero,
  Anyo,
  Archivo,
  Directorio,
  Listado,
};

/** Which stored listings are covered: all, the CDs (medio 1) or the directories (medio 2). */
enum class SearchMedium { Todos, CDs, Directorios };

/** One stored file, with the listing and the directory that hold it; texts as stored. */
struct CatalogueFile {
  int rp_id = 0;
  int medio = 0;
  QString report_name;
  QString dirname;
  QString filename;
  QString artist;
  QString title;
  QString album;
  QString year;
  QString track;
  QString genre;
  QString comment;
  int filegenorder = 0;
  std::optional<qint64> durationMs;  // only for a file stored with its technical fields
  QString ubicacion;                 // where the user keeps the listing's disc, if said
  QString categoria;
};

/** The file of a query row whose columns from first on are sqlCatalogueFileColumns(). */
CatalogueFile catalogueFileOf(const QSqlQuery& row, int first = 0);

struct SearchRequest {
  QString text;
  SearchField field = SearchField::Todo;
  SearchMedium medium = SearchMedium::Todos;
  int limit = 0;  // 0: every file found
  /** Of the files found, only shownCount from the firstShown-th (from 0) are read into the
   *  result's files, as a page shows them; 0: every one. */
  qint64 firstShown = 0;
  int shownCount = 0;
};

struct SearchResult {
  std::vector<CatalogueFile> files;  // in listing number order, then file number
  int listings = 0;                  // how many listings the files come from
  QString error;                     // empty on success, else the reason in Spanish
  qint64 total = 0;                  // the files found, read into files or not
};

/**
 * The stored files whose chosen texts hold every word of the query (folded: case and accents
 * ignored, "'" the same as the stored "´"); a part in double quotes must occur as written.
 * An empty query finds nothing.
 */
SearchResult searchCatalogue(const SearchRequest& request);

/** Copies of one file: two or more, in listing number order, then file number. */
struct DuplicateGroup {
  std::vector<CatalogueFile> copies;
};

struct DuplicatesResult {
  std::vector<DuplicateGroup> groups;
  QString error;  // empty on success, else the reason in Spanish
};

/**
 * Files stored more than once, matched on folded artist and title when both are non-empty,
 * else on the folded file name.
 */
DuplicatesResult findDuplicates(SearchMedium medium);
