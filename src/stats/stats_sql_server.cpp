#include "stats/stats_sql_server.h"

#include "search/search_sql_server.h"
#include "stats/stats_sql.h"

using namespace Qt::StringLiterals;

namespace {

// A listing's totals made again from its files; the function's argument names it.
QString sqlTotalsFunction() {
  return u"CREATE OR REPLACE FUNCTION quillet_stats_listing(id integer) RETURNS void LANGUAGE "
         u"sql AS $totals$ "_s +
         sqlRefreshTotals(u"id"_s).join(u"; "_s) + u" $totals$"_s;
}

// Every listing a statement touched, once it has its reports row (a store writes it last, so
// its files cost one look each) or when the statement is on reports itself (a delete takes the
// totals along).
const QString kChangedFunction =
    u"CREATE OR REPLACE FUNCTION quillet_stats_changed() RETURNS trigger LANGUAGE plpgsql AS "
    u"$changed$ BEGIN IF TG_OP IN ('INSERT', 'UPDATE') THEN PERFORM quillet_stats_listing(c.rp_id) "
    u"FROM (SELECT DISTINCT rp_id FROM new_rows) c WHERE TG_TABLE_NAME = 'reports' OR EXISTS "
    u"(SELECT 1 FROM reports r WHERE r.rp_id = c.rp_id); END IF; IF TG_OP IN ('DELETE', "
    u"'UPDATE') THEN PERFORM quillet_stats_listing(c.rp_id) FROM (SELECT DISTINCT rp_id FROM "
    u"old_rows) c WHERE TG_TABLE_NAME = 'reports' OR EXISTS (SELECT 1 FROM reports r WHERE "
    u"r.rp_id = c.rp_id); END IF; RETURN NULL; END $changed$"_s;

}  // namespace

QStringList sqlCreateServerTotals() {
  QStringList statements = {
      u"CREATE TABLE IF NOT EXISTS stats_listings (rp_id INTEGER PRIMARY KEY, directories "
      u"BIGINT NOT NULL)"_s,
      u"CREATE TABLE IF NOT EXISTS stats_pairs (rp_id INTEGER NOT NULL, artist TEXT, album TEXT, "
      u"files BIGINT NOT NULL, without_title BIGINT NOT NULL, without_tag BIGINT NOT NULL)"_s,
      u"CREATE INDEX IF NOT EXISTS stats_pairs_listing ON stats_pairs (rp_id)"_s,
      u"CREATE TABLE IF NOT EXISTS stats_values (rp_id INTEGER NOT NULL, field TEXT NOT NULL, "
      u"value TEXT, files BIGINT NOT NULL)"_s,
      u"CREATE INDEX IF NOT EXISTS stats_values_listing ON stats_values (rp_id)"_s,
      sqlTotalsFunction(),
      kChangedFunction};
  for (const QString& table : {u"infomp3"_s, u"estructdir"_s, u"reports"_s}) {
    statements += sqlStatementTriggers(u"stats"_s, table, u"quillet_stats_changed"_s,
                                       u"quillet_stats_changed"_s);
  }
  statements.append(
      u"SELECT quillet_stats_listing(rp_id) FROM reports WHERE rp_id NOT IN "
      u"(SELECT rp_id FROM stats_listings)"_s);
  return statements;
}
