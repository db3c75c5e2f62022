#include "search/search_sql_server.h"

#include "search/search_sql.h"
#include "search/server_fold.h"

using namespace Qt::StringLiterals;

namespace {

// A text's letter pairs: those starting at even places and those at odd places, each cut out
// by one regular expression, as reading the text a letter at a time in SQL costs a store
// seven times as much. The U+0001 between two texts ends a pair, and splits any pair across it
// into pieces of one letter; those and the empty pieces stay in: a search asks for two letters.
const QString kPairsFunction =
    u"CREATE OR REPLACE FUNCTION quillet_pairs(t text) RETURNS text[] LANGUAGE sql IMMUTABLE "
    u"PARALLEL SAFE AS $pairs$ SELECT string_to_array(regexp_replace(t, '(..)', '\\1' || "
    u"chr(1), 'g'), chr(1)) || string_to_array(regexp_replace(substr(t, 2), '(..)', '\\1' || "
    u"chr(1), 'g'), chr(1)) $pairs$"_s;

// What copies share, as duplicateKey makes it, from texts already folded: the index has them
// at hand, and folding costs more than anything else a store does on the server. One
// expression, so that the server writes it into the statement that uses it instead of calling
// it file by file.
QString foldedKeyFunction() {
  const QString spaces = sqlLiteral(programSpaces());
  const QString artist = u"btrim(coalesce(artist, ''), "_s + spaces + u')';
  const QString title = u"btrim(coalesce(title, ''), "_s + spaces + u')';
  return u"CREATE OR REPLACE FUNCTION quillet_folded_key(artist text, title text, filename "
         u"text) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $key$ SELECT CASE WHEN "_s +
         artist + u" <> '' AND "_s + title + u" <> '' THEN "_s + artist + u" || chr(31) || "_s +
         title + u" ELSE nullif(coalesce(filename, ''), '') END $key$"_s;
}

// The same from the texts as stored.
const QString kKeyFunction =
    u"CREATE OR REPLACE FUNCTION quillet_key(artist text, title text, filename text) RETURNS "
    u"text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $key$ SELECT quillet_folded_key("
    u"quillet_fold(artist), quillet_fold(title), quillet_fold(filename)) $key$"_s;

// A file's folded texts, to check it against a search and to find its copies. The pairs column
// is left empty, as catalogues made before the groups may hold it.
const QString kSearchTable =
    u"CREATE TABLE IF NOT EXISTS search_files (rp_id INTEGER, filegenorder INTEGER, artist "
    u"TEXT, title TEXT, album TEXT, comment TEXT, genre TEXT, year TEXT, filename TEXT, "
    u"dirname TEXT, report_name TEXT, alltext TEXT, pairs TEXT[], dupkey TEXT)"_s;

// The folded texts the query selects, each under its search column's name, and all of them as
// alltext. OFFSET 0 keeps each level a level of its own: merged into the next, the server
// would fold every text again for each use of it.
QString sqlWithAllText(const QString& folded) {
  return u"SELECT t.*, concat_ws(chr(1), t.artist, t.title, t.album, t.comment, t.genre, "
         u"t.year, t.filename, t.dirname, t.report_name) AS alltext FROM ("_s +
         folded + u" OFFSET 0) AS t OFFSET 0"_s;
}

// The folded texts of file i of listing r.
QString sqlFoldedTexts() {
  return sqlWithAllText(
      u"SELECT quillet_fold(i.artist) AS artist, quillet_fold(i.title) AS title, "
      u"quillet_fold(i.album) AS album, quillet_fold(i.comment) AS comment, "
      u"quillet_fold(i.genre) AS genre, quillet_fold(i.year) AS year, "
      u"quillet_fold(i.filename) AS filename, quillet_fold("_s +
      sqlDirectoryOfFile() + u") AS dirname, quillet_fold(r.report_name) AS report_name"_s);
}

// The search rows of the files in i (infomp3, or the rows a statement added) whose listing
// has its row. The texts that repeat from file to file (an artist's, an album's, a directory's,
// the listing's name...) are folded once each: the server keeps a text's fold for the next
// file with the same text, and folding is the larger part of what a store costs the server.
QString sqlIndexRows(const QString& files, const QString& condition) {
  QString folded = u"SELECT x.rp_id, x.filegenorder"_s;
  QString repeated;
  for (const QString& column : {u"artist"_s, u"title"_s, u"album"_s, u"comment"_s, u"genre"_s,
                                u"year"_s, u"filename"_s, u"dirname"_s, u"report_name"_s}) {
    if (column == u"title"_s || column == u"filename"_s) {
      folded += u", quillet_fold(x."_s + column + u") AS "_s + column;
    } else {
      folded += u", "_s + column + u"_f.f AS "_s + column;
      repeated += u" LEFT JOIN LATERAL (SELECT quillet_fold(x."_s + column +
                  u") AS f OFFSET 0) AS "_s + column + u"_f ON TRUE"_s;
    }
  }
  return u"INSERT INTO search_files SELECT f.rp_id, f.filegenorder, f.artist, f.title, f.album, "
         u"f.comment, f.genre, f.year, f.filename, f.dirname, f.report_name, f.alltext, NULL, "
         u"quillet_folded_key(f.artist, f.title, f.filename) FROM ("_s +
         sqlWithAllText(folded +
                        u" FROM (SELECT i.rp_id, i.filegenorder, i.artist, i.title, i.album, "
                        u"i.comment, i.genre, i.year, i.filename, "_s +
                        sqlDirectoryOfFile() + u" AS dirname, r.report_name FROM "_s + files +
                        u" i JOIN reports r ON r.rp_id = i.rp_id"_s + condition +
                        u" OFFSET 0) AS x"_s + repeated) +
         u") AS f"_s;
}

// The texts are searched through groups of up to eight files of a listing, numbered alike but
// for the last three bits of one less than their number. A group holds each text of its files
// once: a directory's, an album's and the listing's names are indexed once a group instead of
// once a file, and the text indexes hold an eighth of the rows, which takes more than a third
// off a store. A search reads the files of the groups the indexes give and checks each file;
// larger groups would store quicker still, but make a search read and check more files.
const QString kGroupsTable =
    u"CREATE TABLE IF NOT EXISTS search_groups (rp_id INTEGER, grp BIGINT, texts TEXT, pairs "
    u"TEXT)"_s;

// A group's letter pairs as their index holds them: kept as one text, under half the room an
// array of them takes, and compared byte by byte, as under the database's own collation every
// key a store adds to the index would cost a locale comparison. A search names them so, or the
// index is not used.
QString groupPairs(const QString& prefix) {
  return u"(string_to_array("_s + prefix + u"pairs, chr(1)) COLLATE \"C\")"_s;
}

// The group of a file numbered by the expression.
QString groupOf(const QString& number) {
  return u"((("_s + number + u")::bigint - 1) >> 3)"_s;
}

// The groups of the search rows the condition picks, made from those rows: their distinct
// texts, one after another, and those texts' distinct letter pairs. The pairs are kept, not
// only indexed: a search that reads most groups checks them as it goes, and working them out
// again for every group would take seconds. A text search vector made of the pairs as they are
// is the server's quickest way to drop repeats.
QString sqlGroupRows(const QString& condition) {
  return u"INSERT INTO search_groups SELECT g.rp_id, g.grp, g.texts, "
         u"array_to_string(tsvector_to_array(array_to_tsvector(array_remove(quillet_pairs("
         u"g.texts), ''))), chr(1)) FROM "
         u"(SELECT s.rp_id, "_s +
         groupOf(u"s.filegenorder"_s) +
         u" AS grp, string_agg(DISTINCT t.text COLLATE \"C\", chr(1)) AS texts FROM search_files "
         u"s CROSS JOIN LATERAL unnest(ARRAY[s.artist, s.title, s.album, s.comment, s.genre, "
         u"s.year, s.filename, s.dirname, s.report_name]) AS t(text) WHERE s.filegenorder IS "
         u"NOT NULL"_s +
         condition + u" GROUP BY 1, 2) AS g"_s;
}

// The groups first to last of a listing made again from its search rows.
const QString kRegroupFunction =
    u"CREATE OR REPLACE FUNCTION quillet_regroup(id integer, first bigint, last bigint) RETURNS "
    u"void LANGUAGE sql AS $regroup$ DELETE FROM search_groups WHERE rp_id = id AND grp BETWEEN "
    u"first AND last; "_s +
    sqlGroupRows(u" AND s.rp_id = id AND "_s + groupOf(u"s.filegenorder"_s) +
                 u" BETWEEN first AND last"_s) +
    u" $regroup$"_s;

// A listing indexed again whole: every old row of it goes first.
QString sqlIndexListing() {
  return u"CREATE OR REPLACE FUNCTION quillet_index_listing(id integer) RETURNS void LANGUAGE "
         u"sql AS $index$ DELETE FROM search_files WHERE rp_id = id; DELETE FROM search_groups "
         u"WHERE rp_id = id; "_s +
         sqlIndexRows(u"infomp3"_s, u" WHERE i.rp_id = id"_s) + u"; "_s +
         sqlGroupRows(u" AND s.rp_id = id"_s) + u" $index$"_s;
}

// The files of a listing numbered first to last indexed again, with their groups.
QString sqlIndexRange() {
  return u"CREATE OR REPLACE FUNCTION quillet_index_range(id integer, first integer, last "
         u"integer) RETURNS void LANGUAGE sql AS $range$ DELETE FROM search_files WHERE rp_id = "
         u"id AND filegenorder BETWEEN first AND last; "_s +
         sqlIndexRows(u"infomp3"_s,
                      u" WHERE i.rp_id = id AND i.filegenorder BETWEEN first AND last"_s) +
         u"; SELECT quillet_regroup(id, "_s + groupOf(u"first"_s) + u", "_s + groupOf(u"last"_s) +
         u") $range$"_s;
}

// Statement triggers: a store's rows arrive before its listing row, and cost one look each.
// Once a listing has its row, only the files a change touches are indexed again: the files
// added, the file changed, the files of a directory's range, each with its group.
QString sqlFilesAdded() {
  return u"CREATE OR REPLACE FUNCTION quillet_files_added() RETURNS trigger LANGUAGE plpgsql "
         u"AS $added$ BEGIN "_s +
         sqlIndexRows(u"new_rows"_s, {}) + u"; PERFORM quillet_regroup(n.rp_id, "_s +
         groupOf(u"n.first"_s) + u", "_s + groupOf(u"n.last"_s) +
         u") FROM (SELECT rp_id, min(filegenorder) AS first, max(filegenorder) AS last FROM "
         u"new_rows GROUP BY rp_id) AS n WHERE EXISTS (SELECT 1 FROM reports r WHERE r.rp_id = "
         u"n.rp_id); RETURN NULL; END $added$"_s;
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
    u"rp_id IN (SELECT rp_id FROM old_rows); DELETE FROM search_groups WHERE rp_id IN (SELECT "
    u"rp_id FROM old_rows); END IF; IF TG_OP IN ('INSERT', 'UPDATE') THEN "
    u"PERFORM quillet_index_listing(rp_id) FROM new_rows; END IF; RETURN NULL; END "
    u"$listings$"_s;

QStringList triggersOn(const QString& table, const QString& onInsert, const QString& function) {
  return sqlStatementTriggers(u"search"_s, table, onInsert, function);
}

// The infomp3 row, as i, of each file of found: a numbered one by its listing and number, one
// without a number by its place in the table (the column place of found).
QString fileRowOf(const QString& found, const QString& place) {
  return u" CROSS JOIN LATERAL (SELECT * FROM infomp3 n WHERE n.rp_id = %1.rp_id AND "
         u"n.filegenorder = %1.filegenorder UNION ALL SELECT * FROM infomp3 u WHERE u.ctid = "
         u"%1.%2) AS i"_s.arg(found, place);
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
      {kPairsFunction, foldedKeyFunction(), kKeyFunction, kSearchTable,
       // A group's files, in order.
       u"DROP INDEX IF EXISTS search_files_file"_s,
       u"CREATE INDEX IF NOT EXISTS search_files_group ON search_files (rp_id, "_s +
           groupOf(u"filegenorder"_s) + u", filegenorder)"_s,
       // The copies read in key order from the index alone, each with its file.
       u"CREATE INDEX IF NOT EXISTS search_files_copies ON search_files (dupkey COLLATE \"C\", "
       u"rp_id, filegenorder) WHERE dupkey IS NOT NULL"_s,
       // An older catalogue indexed each file's texts: its groups are made before their indexes,
       // which are then built in one go.
       u"DROP INDEX IF EXISTS search_files_letter_pairs"_s,
       u"DROP INDEX IF EXISTS search_files_pairs"_s, u"DROP INDEX IF EXISTS search_files_texts"_s,
       kGroupsTable,
       sqlGroupRows(u" AND NOT EXISTS (SELECT 1 FROM search_groups x WHERE x.rp_id = s.rp_id)"_s),
       u"CREATE INDEX IF NOT EXISTS search_groups_group ON search_groups (rp_id, grp)"_s,
       u"CREATE INDEX IF NOT EXISTS search_groups_pairs ON search_groups USING gin ("_s +
           groupPairs({}) + u")"_s,
       u"CREATE INDEX IF NOT EXISTS infomp3_unnumbered ON infomp3 (rp_id) WHERE filegenorder IS "
       u"NULL"_s,
       kRegroupFunction, sqlIndexListing(), sqlIndexRange(), sqlFilesAdded(),
       sqlRangesChanged(u"quillet_files_changed"_s, u"filegenorder"_s, u"filegenorder"_s),
       sqlRangesChanged(u"quillet_dirs_changed"_s, u"songfrom"_s, u"songto"_s), kListingsChanged};
  if (trigramIndex) {
    statements.append(
        u"CREATE INDEX IF NOT EXISTS search_groups_texts ON search_groups USING gin (texts "
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

// " AND ..." for each piece in the column, with its values.
QString containsConditions(const QString& column, const QStringList& pieces, QVariantList& values) {
  QString conditions;
  for (const QString& piece : pieces) {
    // Not LIKE: the server would take its statistics for how many files hold the piece, which
    // know nothing of the groups the files were already picked by, and plan as if next to
    // none passed.
    conditions += u" AND strpos("_s + column + u", ?) > 0"_s;
    values.append(piece);
  }
  return conditions;
}

// What a group holding a file with every piece holds, asked so that its indexes can answer:
// the trigrams of the longer pieces, the pairs of the pieces of two letters.
QString groupConditions(const QStringList& pieces, QVariantList& values) {
  QString conditions;
  for (const QString& piece : pieces) {
    conditions += u" AND g.texts LIKE ?"_s;
    values.append(likePatternOf(piece));
    if (piece.size() == 2) {
      conditions += u" AND "_s + groupPairs(u"g."_s) + u" @> ARRAY[CAST(? AS text)]"_s;
      values.append(piece);
    }
  }
  return conditions;
}

}  // namespace

// The numbered files are read group by group, from the groups that hold every piece. A file
// written without a number (by another program) is in no group: its texts are folded as the
// search reads it, found through an index that holds only such files.
BoundStatement sqlServerSearch(const SearchRequest& request, const QStringList& pieces) {
  BoundStatement statement;
  const QString column =
      request.field == SearchField::Todo ? u"s.alltext"_s : u"s."_s + searchColumnOf(request.field);
  const QString groups = groupConditions(pieces, statement.values);
  const QString grouped = containsConditions(column, pieces, statement.values);
  const QString unnumbered = containsConditions(column, pieces, statement.values);
  const QString limited =
      request.limit > 0 ? u" LIMIT "_s + QString::number(request.limit) : QString();
  const QString medium = sqlMediumCondition(request.medium, u"r"_s);
  // Each part in order and limited on its own. The groups' order is their files' order, so the
  // groups can be read in order, each group's files in order, and the reading stop at the limit.
  // A numbered file is known by its number, its row read only if it is shown; one without a
  // number by its place in the table.
  statement.sql = sqlFoundFiles(
      u"(SELECT s.rp_id, s.filegenorder, NULL::tid AS file FROM search_groups g JOIN "
      u"search_files s ON s.rp_id = g.rp_id AND "_s +
          groupOf(u"s.filegenorder"_s) +
          u" = g.grp JOIN reports r ON r.rp_id = s.rp_id WHERE TRUE"_s + groups + grouped + medium +
          u" ORDER BY g.rp_id, g.grp, s.filegenorder"_s + limited +
          u") UNION ALL (SELECT i.rp_id, i.filegenorder, i.ctid FROM infomp3 i JOIN reports r ON "
          u"r.rp_id = i.rp_id CROSS JOIN LATERAL ("_s +
          sqlFoldedTexts() + u") AS s WHERE i.filegenorder IS NULL"_s + unnumbered + medium +
          u") ORDER BY rp_id, filegenorder NULLS FIRST, file"_s + limited,
      fileRowOf(u"p"_s, u"file"_s), request);
  return statement;
}

// Each key's files counted as the index gives them in key order, nothing held but one key's:
// grouping the whole table first would hash a million keys. A file written without a number
// (by another program) has no search row: its key is made as the copies are read, and the file
// found again by its place in the table.
QString sqlServerDuplicates(SearchMedium medium) {
  const QString listings =
      medium == SearchMedium::Todos ? QString() : u" JOIN reports q ON q.rp_id = g.rp_id"_s;
  return u"SELECT f.dupkey, "_s + sqlCatalogueFileColumns() +
         u" FROM (SELECT g.dupkey, g.rp_id, g.filegenorder, g.place, count(*) OVER (PARTITION "
         u"BY g.dupkey COLLATE \"C\") AS copies FROM (SELECT dupkey, rp_id, filegenorder, "
         u"NULL::tid AS place FROM search_files UNION ALL SELECT quillet_key(artist, title, "
         u"filename), rp_id, NULL, ctid FROM infomp3 WHERE filegenorder IS NULL) AS g"_s +
         listings + u" WHERE g.dupkey IS NOT NULL"_s + sqlMediumCondition(medium, u"q"_s) +
         u") AS f"_s + fileRowOf(u"f"_s, u"place"_s) +
         u" JOIN reports r ON r.rp_id = f.rp_id WHERE f.copies > 1 ORDER BY "
         u"f.dupkey COLLATE \"C\", f.rp_id, f.filegenorder NULLS FIRST, f.place"_s;
}
