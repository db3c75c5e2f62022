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

// Every listing among a statement's rows (new_rows or old_rows), once it has its reports row (a
// store writes it last, so its files cost one look each) or when the statement is on reports
// itself (a delete takes the totals along).
QString sqlRefreshListingsOf(const QString& rows) {
  return u"PERFORM quillet_stats_listing(c.rp_id) FROM (SELECT DISTINCT rp_id FROM "_s + rows +
         u") c WHERE TG_TABLE_NAME = 'reports' OR EXISTS (SELECT 1 FROM reports r WHERE r.rp_id "
         u"= c.rp_id);"_s;
}

QString sqlChangedFunction() {
  return u"CREATE OR REPLACE FUNCTION quillet_stats_changed() RETURNS trigger LANGUAGE plpgsql "
         u"AS $changed$ BEGIN IF TG_OP IN ('INSERT', 'UPDATE') THEN "_s +
         sqlRefreshListingsOf(u"new_rows"_s) +
         u" END IF; IF TG_OP IN ('DELETE', 'UPDATE') THEN "_s +
         sqlRefreshListingsOf(u"old_rows"_s) + u" END IF; RETURN NULL; END $changed$"_s;
}

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
      sqlChangedFunction()};
  for (const QString& table : {u"infomp3"_s, u"estructdir"_s, u"reports"_s}) {
    statements += sqlStatementTriggers(u"stats"_s, table, u"quillet_stats_changed"_s,
                                       u"quillet_stats_changed"_s);
  }
  statements.append(
      u"SELECT quillet_stats_listing(rp_id) FROM reports WHERE rp_id NOT IN "
      u"(SELECT rp_id FROM stats_listings)"_s);
  return statements;
}
