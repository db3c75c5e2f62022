#include "search/search_sql_server.h"

#include "search/search_sql.h"
#include "search/server_fold.h"

using namespace Qt::StringLiterals;

namespace {

// A text's distinct letter pairs, none across the U+0001 between two of a file's texts; read
// once along the text, as a stored text may be long.
const QString kPairsFunction =
    u"CREATE OR REPLACE FUNCTION quillet_pairs(t text) RETURNS text[] LANGUAGE sql IMMUTABLE "
    u"PARALLEL SAFE AS $pairs$ SELECT coalesce(array_agg(DISTINCT p), '{}') FROM (SELECT "
    u"lag(c) OVER (ORDER BY n) || c AS p FROM unnest(string_to_array(t, NULL)) WITH ORDINALITY "
    u"AS u(c, n)) AS pairs WHERE length(p) = 2 AND strpos(p, chr(1)) = 0 $pairs$"_s;

// What copies share, as duplicateKey makes it.
const QString kKeyFunction =
    u"CREATE OR REPLACE FUNCTION quillet_key(artist text, title text, filename text) RETURNS "
    u"text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $key$ SELECT CASE WHEN a <> '' AND t <> '' "
    u"THEN a || chr(31) || t ELSE nullif(coalesce(quillet_fold(filename), ''), '') END FROM "
    u"(SELECT btrim(coalesce(quillet_fold(artist), ''), %1) AS a, "
    u"btrim(coalesce(quillet_fold(title), ''), %1) AS t) AS k $key$"_s;

const QString kSearchTable =
    u"CREATE TABLE IF NOT EXISTS search_files (rp_id INTEGER, filegenorder INTEGER, artist "
    u"TEXT, title TEXT, album TEXT, comment TEXT, genre TEXT, year TEXT, filename TEXT, "
    u"dirname TEXT, report_name TEXT, alltext TEXT, pairs TEXT[], dupkey TEXT)"_s;

// The search rows of the files in i (infomp3, or the rows a statement added) whose listing
// has its row, folded.
QString sqlIndexRows(const QString& files, const QString& condition) {
  return u"INSERT INTO search_files SELECT f.rp_id, f.filegenorder, f.artist, f.title, f.album, "
         u"f.comment, f.genre, f.year, f.filename, f.dirname, f.report_name, f.alltext, "
         u"quillet_pairs(f.alltext), f.dupkey FROM (SELECT t.*, concat_ws(chr(1), t.artist, "
         u"t.title, t.album, t.comment, t.genre, t.year, t.filename, t.dirname, t.report_name) "
         u"AS alltext FROM (SELECT i.rp_id, i.filegenorder, quillet_fold(i.artist) AS artist, "
         u"quillet_fold(i.title) AS title, quillet_fold(i.album) AS album, "
         u"quillet_fold(i.comment) AS comment, quillet_fold(i.genre) AS genre, "
         u"quillet_fold(i.year) AS year, quillet_fold(i.filename) AS filename, quillet_fold("_s +
         sqlDirectoryOfFile() +
         u") AS dirname, quillet_fold(r.report_name) AS report_name, quillet_key(i.artist, "
         u"i.title, i.filename) AS dupkey FROM "_s +
         files + u" i JOIN reports r ON r.rp_id = i.rp_id"_s + condition + u") AS t) AS f"_s;
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
      {kPairsFunction,
       kKeyFunction.arg(sqlLiteral(programSpaces())),
       kSearchTable,
       u"CREATE INDEX IF NOT EXISTS search_files_file ON search_files (rp_id, filegenorder)"_s,
       u"CREATE INDEX IF NOT EXISTS search_files_dupkey ON search_files (dupkey COLLATE \"C\")"_s,
       u"CREATE INDEX IF NOT EXISTS search_files_pairs ON search_files USING gin (pairs)"_s,
       sqlIndexListing(),
       sqlIndexRange(),
       sqlFilesAdded(),
       sqlRangesChanged(u"quillet_files_changed"_s, u"filegenorder"_s, u"filegenorder"_s),
       sqlRangesChanged(u"quillet_dirs_changed"_s, u"songfrom"_s, u"songto"_s),
       kListingsChanged};
  if (trigramIndex) {
    statements.append(
        u"CREATE INDEX IF NOT EXISTS search_files_texts ON search_files USING gin (alltext "
        u"gin_trgm_ops)"_s);
  }
  statements += triggersOn(u"infomp3"_s, u"quillet_files_added"_s, u"quillet_files_changed"_s);
  statements += triggersOn(u"estructdir"_s, u"quillet_dirs_changed"_s, u"quillet_dirs_changed"_s);
  statements +=
      triggersOn(u"reports"_s, u"quillet_listings_changed"_s, u"quillet_listings_changed"_s);
  statements.append(u"SELECT quillet_index_listing(rp_id) FROM reports"_s);
  return statements;
}

QString likePatternOf(const QString& piece) {
  return u'%' + escapedLike(piece) + u'%';
}

BoundStatement sqlServerSearch(SearchMedium medium, SearchField field, const QStringList& pieces,
                               int limit) {
  BoundStatement statement;
  const QString column =
      field == SearchField::Todo ? u"s.alltext"_s : u"s."_s + searchColumnOf(field);
  QString conditions;
  for (const QString& piece : pieces) {
    conditions += u" AND "_s + column + u" LIKE ?"_s;
    statement.values.append(likePatternOf(piece));
    // The indexes cover the whole of a file's texts: the field's own check above is exact.
    if (field != SearchField::Todo) {
      conditions += u" AND s.alltext LIKE ?"_s;
      statement.values.append(likePatternOf(piece));
    }
    if (piece.size() == 2) {
      conditions += u" AND s.pairs @> ARRAY[CAST(? AS text)]"_s;
      statement.values.append(piece);
    }
  }
  statement.sql = u"SELECT "_s + sqlCatalogueFileColumns() +
                  u" FROM search_files s JOIN infomp3 i ON i.rp_id = s.rp_id AND i.filegenorder "
                  u"= s.filegenorder JOIN reports r ON r.rp_id = s.rp_id WHERE TRUE"_s +
                  conditions + sqlMediumCondition(medium, u"r"_s) +
                  u" ORDER BY s.rp_id, s.filegenorder"_s +
                  (limit > 0 ? u" LIMIT "_s + QString::number(limit) : QString());
  return statement;
}

QString sqlServerDuplicates(SearchMedium medium) {
  return u"SELECT f.dupkey, "_s + sqlCatalogueFileColumns() +
         u" FROM search_files f JOIN infomp3 i ON i.rp_id = f.rp_id AND i.filegenorder = "
         u"f.filegenorder JOIN reports r ON r.rp_id = f.rp_id WHERE f.dupkey IN (SELECT "
         u"g.dupkey FROM search_files g JOIN reports q ON q.rp_id = g.rp_id WHERE g.dupkey IS "
         u"NOT NULL"_s +
         sqlMediumCondition(medium, u"q"_s) + u" GROUP BY g.dupkey HAVING count(*) > 1)"_s +
         sqlMediumCondition(medium, u"r"_s) +
         u" ORDER BY f.dupkey COLLATE \"C\", f.rp_id, f.filegenorder"_s;
}
