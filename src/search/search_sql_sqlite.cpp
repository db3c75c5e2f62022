#include "search/search_sql.h"

#include <QFile>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlQuery>

#include <algorithm>

#include <sqlite3.h>

#include "db/sql_script.h"
#include "search/search_fold.h"

using namespace Qt::StringLiterals;

namespace {

QString phrase(const QString& text) {
  QString quoted = text;
  return u'"' + quoted.replace(u'"', u"\"\""_s) + u'"';
}

QByteArrayView utf8Of(sqlite3_value* value) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
  return text ? QByteArrayView(text, sqlite3_value_bytes(value)) : QByteArrayView();
}

void resultUtf8(sqlite3_context* context, const QByteArray& text) {
  if (text.isEmpty()) {
    sqlite3_result_null(context);
  } else {
    sqlite3_result_text(context, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  }
}

void searchText(sqlite3_context* context, int, sqlite3_value** values) {
  resultUtf8(context, indexedUtf8(utf8Of(values[0])));
}

void searchKey(sqlite3_context* context, int, sqlite3_value** values) {
  const auto text = [&](int argument) { return QString::fromUtf8(utf8Of(values[argument])); };
  resultUtf8(context, duplicateKey(text(0), text(1), text(2)).toUtf8());
}

// The driver's own SQLite connection, when the driver's SQLite is the library linked here.
sqlite3* sqliteConnection(const QSqlDatabase& db) {
  const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
  if (qstrcmp(handle.typeName(), "sqlite3*") != 0) {
    return nullptr;
  }
  QSqlQuery version(db);
  const bool sameLibrary = version.exec(u"SELECT sqlite_version()"_s) && version.next() &&
                           version.value(0).toString() == QLatin1StringView(sqlite3_libversion());
  return sameLibrary ? *static_cast<sqlite3* const*>(handle.data()) : nullptr;
}

}  // namespace

QString registerSearchFunctions(const QSqlDatabase& db) {
  sqlite3* connection = sqliteConnection(db);
  if (!connection) {
    return u"el controlador de la BD no usa la biblioteca de SQLite del programa"_s;
  }
  // Direct only: no trigger or view may use them, so the file stays writable by other programs.
  constexpr int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY;
  for (const auto& [name, arguments, function] :
       {std::tuple{"search_text", 1, &searchText}, std::tuple{"search_key", 3, &searchKey}}) {
    if (sqlite3_create_function_v2(connection, name, arguments, flags, nullptr, function, nullptr,
                                   nullptr, nullptr) != SQLITE_OK) {
      return QString::fromUtf8(sqlite3_errmsg(connection));
    }
  }
  return {};
}

QStringList sqlCreateSearchIndex() {
  QFile script(u":/search_index.sql"_s);
  if (!script.open(QIODevice::ReadOnly)) {
    return {};
  }
  return scriptStatements(QString::fromUtf8(script.readAll()));
}

QStringList sqlDropSearchIndex() {
  static const QRegularExpression created(
      u"^CREATE (?:VIRTUAL )?(TABLE|INDEX|TRIGGER) IF NOT EXISTS (\\w+)"_s);
  QStringList statements;
  for (const QString& statement : sqlCreateSearchIndex()) {
    if (const QRegularExpressionMatch match = created.match(statement); match.hasMatch()) {
      statements.prepend(u"DROP "_s + match.captured(1) + u" IF EXISTS "_s + match.captured(2));
    }
  }
  return statements;
}

QString sqlSchemaVersion() {
  return u"PRAGMA user_version"_s;
}

QString sqlSearchIndexPresent() {
  return u"SELECT count(*) FROM sqlite_master WHERE name IN ('search_index', 'search_terms', "
         u"'search_files', 'search_pending')"_s;
}

QString sqlTotalsTablesPresent() {
  return u"SELECT count(*) FROM sqlite_master WHERE name IN ('stats_listings', 'stats_pairs', "
         u"'stats_values')"_s;
}

QString sqlNoteEveryListing() {
  return u"INSERT INTO search_pending SELECT rp_id FROM reports"_s;
}

QString sqlPendingListings() {
  return u"SELECT DISTINCT rp_id FROM search_pending WHERE rp_id IS NOT NULL"_s;
}

QString sqlClearPending() {
  return u"DELETE FROM search_pending"_s;
}

QStringList sqlForgetListing() {
  return {
      u"DELETE FROM search_index WHERE rowid IN (SELECT file FROM search_files WHERE "
      u"rp_id = :rp_id)"_s,
      u"DELETE FROM search_files WHERE rp_id = :rp_id"_s};
}

// The listing's files, when it has its row; the listing's own texts are read once.
const QString kFilesOfListing =
    u" FROM infoMP3 i WHERE i.rp_id = :rp_id AND EXISTS (SELECT 1 FROM reports WHERE rp_id = "
    u":rp_id)"_s;

// 16 MB, against 1 MB by default: the 100,000 files of a large listing then go in as a few
// pieces rather than dozens merged over and over. The setting is kept with the index.
QString sqlIndexWriteBuffer() {
  return u"INSERT INTO search_index (search_index, rank) VALUES ('hashsize', 16777216)"_s;
}

// Those of the files numbered in numbers, when given.
QString numberedOnly(const QString& numbers) {
  return numbers.isEmpty() ? QString() : u" AND i.filegenorder IN ("_s + numbers + u')';
}

QString sqlIndexTexts(const QString& numbers) {
  return u"INSERT OR REPLACE INTO search_index (rowid, artist, title, album, comment, genre, "
         u"year, filename, dirname, report_name) SELECT i.rowid, search_text(i.artist), "
         u"search_text(i.title), search_text(i.album), search_text(i.comment), "
         u"search_text(i.genre), search_text(i.year), search_text(i.filename), search_text("_s +
         sqlDirectoryOfFile() +
         u"), (SELECT search_text(report_name) FROM reports WHERE rp_id = :rp_id)"_s +
         kFilesOfListing + numberedOnly(numbers);
}

QString sqlIndexKeys(const QString& numbers) {
  return u"INSERT OR REPLACE INTO search_files (file, rp_id, dupkey) SELECT i.rowid, i.rp_id, "
         u"search_key(i.artist, i.title, i.filename)"_s +
         kFilesOfListing + numberedOnly(numbers);
}

QString sqlListingNoted() {
  return u"SELECT 1 FROM search_pending WHERE rp_id = :rp_id LIMIT 1"_s;
}

QString sqlForgetListingNotes() {
  return u"DELETE FROM search_pending WHERE rp_id = :rp_id"_s;
}

QStringList sqlForgetFilesNumbered(const QString& numbers) {
  const QString files =
      u"(SELECT i.rowid FROM infoMP3 i WHERE i.rp_id = :rp_id"_s + numberedOnly(numbers) + u')';
  return {u"DELETE FROM search_index WHERE rowid IN "_s + files,
          u"DELETE FROM search_files WHERE file IN "_s + files};
}

const QString kFileChangedTrigger = u"search_file_changed"_s;

QString sqlPauseFileChanges() {
  return u"DROP TRIGGER IF EXISTS "_s + kFileChangedTrigger;
}

QString sqlResumeFileChanges() {
  const QStringList statements = sqlCreateSearchIndex();
  const auto made = std::find_if(statements.begin(), statements.end(), [](const QString& sql) {
    return sql.startsWith(u"CREATE TRIGGER IF NOT EXISTS "_s + kFileChangedTrigger + u' ');
  });
  return made == statements.end() ? QString() : *made;
}

QString sqlTrigramsStartingWith() {
  return u"SELECT term FROM search_terms WHERE term >= :piece AND term < :end"_s;
}

QString matchExpression(const std::vector<QStringList>& phrases, SearchField field) {
  const QString column = searchColumnOf(field);
  const QString filter = column.isEmpty() ? QString() : column + u" : "_s;
  QStringList all;
  for (const QStringList& alternatives : phrases) {
    QStringList any;
    for (const QString& text : alternatives) {
      any.append(filter + phrase(text));
    }
    all.append(u'(' + any.join(u" OR "_s) + u')');
  }
  return all.join(u" AND "_s);
}

QString checkedPiece(qsizetype piece) {
  return u":piece"_s + QString::number(piece);
}

QString sqlSearch(const SearchRequest& request, qsizetype checkedPieces) {
  // Each checked piece in one of the field's folded texts.
  QStringList columns;
  for (const SearchField each :
       {SearchField::Artista, SearchField::Titulo, SearchField::Album, SearchField::Comentario,
        SearchField::Genero, SearchField::Anyo, SearchField::Archivo, SearchField::Directorio,
        SearchField::Listado}) {
    if (request.field == SearchField::Todo || request.field == each) {
      columns.append(u"s."_s + searchColumnOf(each));
    }
  }
  QString checks;
  for (qsizetype piece = 0; piece < checkedPieces; ++piece) {
    QStringList any;
    for (const QString& column : columns) {
      any.append(u"instr("_s + column + u", "_s + checkedPiece(piece) + u")"_s);
    }
    checks += u" AND ("_s + any.join(u" OR "_s) + u')';
  }
  // The files found are sorted and cut by their numbers; the directory and duration lookups,
  // and the listing's row, are read for the files kept only.
  return sqlFoundFiles(
      u"SELECT i.rp_id, i.filegenorder, i.rowid AS file FROM search_index s JOIN search_files f "
      u"ON f.file = s.rowid JOIN infoMP3 i ON i.rowid = s.rowid AND i.rp_id = f.rp_id JOIN "
      u"reports r ON r.rp_id = i.rp_id WHERE search_index MATCH :expression"_s +
          checks + sqlMediumCondition(request.medium, u"r"_s) +
          u" ORDER BY i.rp_id, i.filegenorder, i.rowid"_s +
          (request.limit > 0 ? u" LIMIT "_s + QString::number(request.limit) : QString()),
      u" JOIN infoMP3 i ON i.rowid = p.file"_s, request);
}

QString sqlDuplicates(SearchMedium medium) {
  return u"SELECT f.dupkey, "_s + sqlCatalogueFileColumns() +
         u" FROM search_files f JOIN infoMP3 i ON i.rowid = f.file AND i.rp_id = f.rp_id JOIN "
         u"reports r ON r.rp_id = f.rp_id WHERE f.dupkey IN (SELECT g.dupkey FROM search_files g "
         u"JOIN reports q ON q.rp_id = g.rp_id WHERE g.dupkey IS NOT NULL"_s +
         sqlMediumCondition(medium, u"q"_s) + u" GROUP BY g.dupkey HAVING count(*) > 1)"_s +
         sqlMediumCondition(medium, u"r"_s) +
         u" ORDER BY f.dupkey, i.rp_id, i.filegenorder, i.rowid"_s;
}
