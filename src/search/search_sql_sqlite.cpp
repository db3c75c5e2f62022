#include "search/search_sql.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

// The script's statements; a trigger runs to its END.
QStringList scriptStatements(const QString& script) {
  QStringList statements;
  QString current;
  for (const QString& line : script.split(u'\n')) {
    if (line.startsWith(u"--"_s) || (current.isEmpty() && line.trimmed().isEmpty())) {
      continue;
    }
    current += line + u'\n';
    const bool trigger = current.startsWith(u"CREATE TRIGGER"_s);
    if (line.endsWith(u';') && (!trigger || line == u"END;"_s)) {
      statements.append(current.trimmed());
      current.clear();
    }
  }
  return statements;
}

QString phrase(const QString& text) {
  QString quoted = text;
  return u'"' + quoted.replace(u'"', u"\"\""_s) + u'"';
}

QString columnOf(SearchField field) {
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

QString mediumCondition(SearchMedium medium, const QString& reports) {
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

// The directory that lists a file: the one whose file range holds it and starts nearest.
const QString kDirectoryOfFile =
    u"(SELECT d.dirname FROM estructdir d WHERE d.rp_id = i.rp_id AND d.songfrom <= "
    u"i.filegenorder AND d.songto >= i.filegenorder ORDER BY d.songfrom DESC LIMIT 1)"_s;

const QString kFileColumns =
    u"r.rp_id, r.medio, r.report_name, "_s + kDirectoryOfFile +
    u", i.filename, i.artist, i.title, i.album, i.year, i.track, i.genre, i.comment, "
    u"i.filegenorder"_s;

}  // namespace

QStringList sqlCreateSearchIndex() {
  QFile script(u":/search_index.sql"_s);
  if (!script.open(QIODevice::ReadOnly)) {
    return {};
  }
  return scriptStatements(QString::fromUtf8(script.readAll()));
}

QString sqlSchemaVersion() {
  return u"PRAGMA user_version"_s;
}

QString sqlSearchIndexPresent() {
  return u"SELECT count(*) FROM sqlite_master WHERE name IN ('search_index', 'search_terms', "
         u"'search_files', 'search_pending')"_s;
}

QString sqlNoteEveryListing() {
  return u"INSERT INTO search_pending SELECT rp_id FROM reports"_s;
}

QString sqlPendingListings() {
  return u"SELECT DISTINCT rp_id FROM search_pending"_s;
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

QString sqlFilesToIndex() {
  return u"SELECT i.rowid, "_s + kFileColumns +
         u" FROM infoMP3 i JOIN reports r ON r.rp_id = i.rp_id WHERE i.rp_id = :rp_id"_s;
}

QString sqlIndexText() {
  return u"INSERT OR REPLACE INTO search_index (rowid, artist, title, album, comment, genre, "
         u"year, filename, dirname, report_name) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s;
}

QString sqlIndexKey() {
  return u"INSERT OR REPLACE INTO search_files (file, rp_id, dupkey) VALUES (?, ?, ?)"_s;
}

QString sqlTrigramsStartingWith() {
  return u"SELECT term FROM search_terms WHERE term >= :piece AND term < :end"_s;
}

QString matchExpression(const std::vector<QStringList>& phrases, SearchField field) {
  const QString column = columnOf(field);
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

QString sqlSearch(SearchMedium medium, bool withFoldedTexts, int limit) {
  const QString folded =
      withFoldedTexts ? u", s.artist, s.title, s.album, s.comment, s.genre, s.year, s.filename, "
                        u"s.dirname, s.report_name"_s
                      : QString();
  return u"SELECT "_s + kFileColumns + folded +
         u" FROM search_index s JOIN search_files f ON f.file = s.rowid JOIN infoMP3 i ON "
         u"i.rowid = s.rowid AND i.rp_id = f.rp_id JOIN reports r ON r.rp_id = i.rp_id WHERE "
         u"search_index MATCH :expression"_s +
         mediumCondition(medium, u"r"_s) + u" ORDER BY i.rp_id, i.filegenorder, i.rowid"_s +
         (limit > 0 ? u" LIMIT "_s + QString::number(limit) : QString());
}

QString sqlDuplicates(SearchMedium medium) {
  return u"SELECT f.dupkey, "_s + kFileColumns +
         u" FROM search_files f JOIN infoMP3 i ON i.rowid = f.file AND i.rp_id = f.rp_id JOIN "
         u"reports r ON r.rp_id = f.rp_id WHERE f.dupkey IN (SELECT g.dupkey FROM search_files g "
         u"JOIN reports q ON q.rp_id = g.rp_id WHERE g.dupkey IS NOT NULL"_s +
         mediumCondition(medium, u"q"_s) + u" GROUP BY g.dupkey HAVING count(*) > 1)"_s +
         mediumCondition(medium, u"r"_s) +
         u" ORDER BY f.dupkey, i.rp_id, i.filegenorder, i.rowid"_s;
}
