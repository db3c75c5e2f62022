#include "search/search_sql_server.h"

#include "search/search_sql.h"
#include "search/server_fold.h"

using namespace Qt::StringLiterals;

namespace {

// A text's letter pairs: those starting at even places and those at odd places, each cut out
// by one regular expression, as reading the text a letter at a time in SQL costs a store
// seven times as much. The U+0001 between two of a file's texts ends a pair, and splits any
// pair across it into pieces of one letter; those, the empty pieces and repeats stay in: the
// index keeps each key once, and every file it gives is checked by LIKE anyway.
const QString kPairsFunction =
    u"CREATE OR REPLACE FUNCTION quillet_pairs(t text) RETURNS text[] LANGUAGE sql IMMUTABLE "
    u"PARALLEL SAFE AS $pairs$ SELECT string_to_array(regexp_replace(t, '(..)', '\\1' || "
    u"chr(1), 'g'), chr(1)) || string_to_array(regexp_replace(substr(t, 2), '(..)', '\\1' || "
    u"chr(1), 'g'), chr(1)) $pairs$"_s;

// The pairs as their index holds them; a search names them so, or the index is not used.
const QString kPairsIndexed = u"(quillet_pairs(%1alltext) COLLATE \"C\")"_s;

// What copies share, as duplicateKey makes it, from texts already folded: the index has them
// at hand, and folding costs more than anything else a store does on the server.
const QString kFoldedKeyFunction =
    u"CREATE OR REPLACE FUNCTION quillet_folded_key(artist text, title text, filename text) "
    u"RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $key$ SELECT CASE WHEN a <> '' AND "
    u"t <> '' THEN a || chr(31) || t ELSE nullif(coalesce(filename, ''), '') END FROM (SELECT "
    u"btrim(coalesce(artist, ''), %1) AS a, btrim(coalesce(title, ''), %1) AS t) AS k $key$"_s;

// The same from the texts as stored.
const QString kKeyFunction =
    u"CREATE OR REPLACE FUNCTION quillet_key(artist text, title text, filename text) RETURNS "
    u"text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $key$ SELECT quillet_folded_key("
    u"quillet_fold(artist), quillet_fold(title), quillet_fold(filename)) $key$"_s;

// The pairs column is left empty: the index computes the pairs from alltext itself, and the
// table need not keep a kilobyte of them per file.
const QString kSearchTable =
    u"CREATE TABLE IF NOT EXISTS search_files (rp_id INTEGER, filegenorder INTEGER, artist "
    u"TEXT, title TEXT, album TEXT, comment TEXT, genre TEXT, year TEXT, filename TEXT, "
    u"dirname TEXT, report_name TEXT, alltext TEXT, pairs TEXT[], dupkey TEXT)"_s;

// The folded texts of file i of listing r, each under its search column's name, and all of
// them as alltext. OFFSET 0 keeps each level a level of its own: merged into the next, the
// server would fold every text again for each use of it.
QString sqlFoldedTexts(const QString& selected, const QString& from) {
  return u"SELECT t.*, concat_ws(chr(1), t.artist, t.title, t.album, t.comment, t.genre, "
         u"t.year, t.filename, t.dirname, t.report_name) AS alltext FROM (SELECT "_s +
         selected +
         u"quillet_fold(i.artist) AS artist, quillet_fold(i.title) AS title, "
         u"quillet_fold(i.album) AS album, quillet_fold(i.comment) AS comment, "
         u"quillet_fold(i.genre) AS genre, quillet_fold(i.year) AS year, "
         u"quillet_fold(i.filename) AS filename, quillet_fold("_s +
         sqlDirectoryOfFile() + u") AS dirname, quillet_fold(r.report_name) AS report_name"_s +
         from + u" OFFSET 0) AS t OFFSET 0"_s;
}

// The search rows of the files in i (infomp3, or the rows a statement added) whose listing
// has its row.
QString sqlIndexRows(const QString& files, const QString& condition) {
  return u"INSERT INTO search_files SELECT f.rp_id, f.filegenorder, f.artist, f.title, f.album, "
         u"f.comment, f.genre, f.year, f.filename, f.dirname, f.report_name, f.alltext, NULL, "
         u"quillet_folded_key(f.artist, f.title, f.filename) FROM ("_s +
         sqlFoldedTexts(
             u"i.rp_id, i.filegenorder, "_s,
             u" FROM "_s + files + u" i JOIN reports r ON r.rp_id = i.rp_id"_s + condition) +
         u") AS f"_s;
}

// A listing indexed again whole: every old row of it goes first.
QString sqlIndexListing() {
  return u"CREATE OR REPLACE FUNCTION quillet_index_listing(id integer) RETURNS void LANGUAGE "
         u"sql AS $index$ DELETE FROM search_files WHERE rp_id = id; "_s +
         sqlIndexRows(u"infomp3"_s, u" WHERE i.rp_id = id"_s) + u" $index$"_s;
}

// The files of a listing numbered first to last indexed again.
QString sqlIndexRange() {
  return u"CREATE OR REPLACE FUNCTION quillet_index_range(id integer, first integer, last "
         u"integer) RETURNS void LANGUAGE sql AS $range$ DELETE FROM search_files WHERE rp_id = "
         u"id AND filegenorder BETWEEN first AND last; "_s +
         sqlIndexRows(u"infomp3"_s,
                      u" WHERE i.rp_id = id AND i.filegenorder BETWEEN first AND last"_s) +
         u" $range$"_s;
}

// Statement triggers: a store's rows arrive before its listing row, and cost one look each.
// Once a listing has its row, only the files a change touches are indexed again: the files
// added, the file changed, the files of a directory's range.
QString sqlFilesAdded() {
  return u"CREATE OR REPLACE FUNCTION quillet_files_added() RETURNS trigger LANGUAGE plpgsql "
         u"AS $added$ BEGIN "_s +
         sqlIndexRows(u"new_rows"_s, {}) + u"; RETURN NULL; END $added$"_s;
}

QString sqlRangesChanged(const QString& function, const QString& first, const QString& last) {
  const QString listed = u" WHERE EXISTS (SELECT 1 FROM reports r WHERE r.rp_id = c.rp_id)"_s;
  const QString index =
      u"PERFORM quillet_index_range(c.rp_id, c."_s + first + u", c."_s + last + u") FROM "_s;
  return u"CREATE OR REPLACE FUNCTION "_s + function +
         u"() RETURNS trigger LANGUAGE plpgsql AS $changed$ BEGIN IF TG_OP IN ('INSERT', "
         u"'UPDATE') THEN "_s +
         index + u"new_rows c"_s + listed + u"; END IF; IF TG_OP IN ('DELETE', 'UPDATE') THEN "_s +
         index + u"old_rows c"_s + listed + u"; END IF; RETURN NULL; END $changed$"_s;
}

const QString kListingsChanged =
    u"CREATE OR REPLACE FUNCTION quillet_listings_changed() RETURNS trigger LANGUAGE plpgsql "
    u"AS $listings$ BEGIN IF TG_OP IN ('DELETE', 'UPDATE') THEN DELETE FROM search_files WHERE "
    u"rp_id IN (SELECT rp_id FROM old_rows); END IF; IF TG_OP IN ('INSERT', 'UPDATE') THEN "
    u"PERFORM quillet_index_listing(rp_id) FROM new_rows; END IF; RETURN NULL; END "
    u"$listings$"_s;

QStringList triggersOn(const QString& table, const QString& onInsert, const QString& function) {
  return sqlStatementTriggers(u"search"_s, table, onInsert, function);
}

QString escapedLike(const QString& piece) {
  QString escaped = piece;
  escaped.replace(u'\\', u"\\\\"_s).replace(u'%', u"\\%"_s).replace(u'_', u"\\_"_s);
  return escaped;
}

}  // namespace

QStringList sqlStatementTriggers(const QString& prefix, const QString& table,
                                 const QString& onInsert, const QString& onChange) {
  QStringList statements;
  for (const auto& [event, tables] :
       {std::pair{u"INSERT"_s, u"NEW TABLE AS new_rows"_s},
        std::pair{u"UPDATE"_s, u"OLD TABLE AS old_rows NEW TABLE AS new_rows"_s},
        std::pair{u"DELETE"_s, u"OLD TABLE AS old_rows"_s}}) {
    const QString name = prefix + u'_' + table + u'_' + event.toLower();
    statements.append(u"DROP TRIGGER IF EXISTS "_s + name + u" ON "_s + table);
    statements.append(u"CREATE TRIGGER "_s + name + u" AFTER "_s + event + u" ON "_s + table +
                      u" REFERENCING "_s + tables + u" FOR EACH STATEMENT EXECUTE FUNCTION "_s +
                      (event == u"INSERT"_s ? onInsert : onChange) + u"()"_s);
  }
  return statements;
}

QStringList sqlCreateServerSearch(QSqlDatabase& db, bool trigramIndex, QString& reason) {
  QStringList statements = sqlServerFoldFunctions(db, reason);
  if (statements.isEmpty()) {
    return {};
  }
  statements +=
      {kPairsFunction, kFoldedKeyFunction.arg(sqlLiteral(programSpaces())), kKeyFunction,
       kSearchTable,
       u"CREATE INDEX IF NOT EXISTS search_files_file ON search_files (rp_id, filegenorder)"_s,
       // The copies read in key order from the index alone, each with its file.
       u"CREATE INDEX IF NOT EXISTS search_files_copies ON search_files (dupkey COLLATE \"C\", "
       u"rp_id, filegenorder) WHERE dupkey IS NOT NULL"_s,
       // The pairs compared byte by byte: under the database's own collation every key a
       // store adds to the index costs a locale comparison, the larger part of a store's time.
       // An older catalogue's index of them is made again so.
       u"DROP INDEX IF EXISTS search_files_letter_pairs"_s,
       u"CREATE INDEX IF NOT EXISTS search_files_pairs ON search_files USING gin ("_s +
           kPairsIndexed.arg(QString()) + u")"_s,
       u"CREATE INDEX IF NOT EXISTS infomp3_unnumbered ON infomp3 (rp_id) WHERE filegenorder IS "
       u"NULL"_s,
       sqlIndexListing(), sqlIndexRange(), sqlFilesAdded(),
       sqlRangesChanged(u"quillet_files_changed"_s, u"filegenorder"_s, u"filegenorder"_s),
       sqlRangesChanged(u"quillet_dirs_changed"_s, u"songfrom"_s, u"songto"_s), kListingsChanged};
  if (trigramIndex) {
    statements.append(
        u"CREATE INDEX IF NOT EXISTS search_files_texts ON search_files USING gin (alltext "
        u"gin_trgm_ops)"_s);
  }
  statements += triggersOn(u"infomp3"_s, u"quillet_files_added"_s, u"quillet_files_changed"_s);
  statements += triggersOn(u"estructdir"_s, u"quillet_dirs_changed"_s, u"quillet_dirs_changed"_s);
  statements +=
      triggersOn(u"reports"_s, u"quillet_listings_changed"_s, u"quillet_listings_changed"_s);
  return statements;
}

QString likePatternOf(const QString& piece) {
  return u'%' + escapedLike(piece) + u'%';
}

namespace {

// " AND ..." for each piece in the column, with its values; through the letter pairs' index
// for pieces of two letters when pairs is set.
QString pieceConditions(const QString& column, bool allTexts, const QStringList& pieces, bool pairs,
                        QVariantList& values) {
  QString conditions;
  for (const QString& piece : pieces) {
    conditions += u" AND "_s + column + u" LIKE ?"_s;
    values.append(likePatternOf(piece));
    // The indexes cover the whole of a file's texts: the field's own check above is exact.
    if (!allTexts) {
      conditions += u" AND s.alltext LIKE ?"_s;
      values.append(likePatternOf(piece));
    }
    if (pairs && piece.size() == 2) {
      conditions += u" AND "_s + kPairsIndexed.arg(u"s."_s) + u" @> ARRAY[CAST(? AS text)]"_s;
      values.append(piece);
    }
  }
  return conditions;
}

}  // namespace

// The indexed files join their search rows by number. A file written without one (by another
// program) has no number to join by: its texts are folded as the search reads it, found
// through an index that holds only such files.
BoundStatement sqlServerSearch(SearchMedium medium, SearchField field, const QStringList& pieces,
                               int limit) {
  BoundStatement statement;
  const bool allTexts = field == SearchField::Todo;
  const QString column = allTexts ? u"s.alltext"_s : u"s."_s + searchColumnOf(field);
  const QString indexed = pieceConditions(column, allTexts, pieces, true, statement.values);
  const QString unnumbered = pieceConditions(column, allTexts, pieces, false, statement.values);
  const QString limited = limit > 0 ? u" LIMIT "_s + QString::number(limit) : QString();
  // Each part in order and limited on its own: the indexed files can then be read in order and
  // the reading stop at the limit.
  statement.sql =
      u"(SELECT "_s + sqlCatalogueFileColumns() +
      u" FROM search_files s JOIN infomp3 i ON i.rp_id = s.rp_id AND i.filegenorder "
      u"= s.filegenorder JOIN reports r ON r.rp_id = s.rp_id WHERE TRUE"_s +
      indexed + sqlMediumCondition(medium, u"r"_s) + u" ORDER BY s.rp_id, s.filegenorder"_s +
      limited + u") UNION ALL SELECT "_s + sqlCatalogueFileColumns() +
      u" FROM infomp3 i JOIN reports r ON r.rp_id = i.rp_id CROSS JOIN LATERAL ("_s +
      sqlFoldedTexts({}, {}) + u") AS s WHERE i.filegenorder IS NULL"_s + unnumbered +
      sqlMediumCondition(medium, u"r"_s) + u" ORDER BY rp_id, filegenorder NULLS FIRST"_s + limited;
  return statement;
}

// Each key's files counted as the index gives them in key order, nothing held but one key's:
// grouping the whole table first would hash a million keys.
QString sqlServerDuplicates(SearchMedium medium) {
  const QString listings =
      medium == SearchMedium::Todos ? QString() : u" JOIN reports q ON q.rp_id = g.rp_id"_s;
  return u"SELECT f.dupkey, "_s + sqlCatalogueFileColumns() +
         u" FROM (SELECT g.dupkey, g.rp_id, g.filegenorder, count(*) OVER (PARTITION BY "
         u"g.dupkey COLLATE \"C\") AS copies FROM search_files g"_s +
         listings + u" WHERE g.dupkey IS NOT NULL"_s + sqlMediumCondition(medium, u"q"_s) +
         u") AS f JOIN infomp3 i ON i.rp_id = f.rp_id AND i.filegenorder = f.filegenorder JOIN "
         u"reports r ON r.rp_id = f.rp_id WHERE f.copies > 1"_s +
         u" ORDER BY f.dupkey COLLATE \"C\", f.rp_id, f.filegenorder"_s;
}
