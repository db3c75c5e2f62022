#include "db/update_history.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "db/mod_bd.h"
#include "db/side_table_part.h"
#include "db/sql_catalogue.h"

using namespace Qt::StringLiterals;

const CataloguePart& updateHistoryPart() {
  // No stand-in: a reader that finds no table finds no updates.
  static const SideTablePart part(
      {u"actualizaciones"_s, u":/update_history.sql"_s, u":/update_history_server.sql"_s, QString(),
       u"la tabla de las actualizaciones de los listados"_s, std::nullopt});
  return part;
}

QString writeUpdateHistory(int rpId, const UpdateHistoryRow& row) {
  QString reason;
  (void)BdBoundQuery(sqlUpdateHistoryInsert(),
                     {rpId, row.date, row.added, row.removed, row.changed, row.seconds}, reason);
  return reason;
}

std::vector<UpdateHistoryRow> readUpdateHistory(int rpId, QString* error) {
  QString reason;
  std::optional<QSqlQuery> query = BdBoundQuery(sqlUpdateHistoryOf(), {rpId}, reason);
  if (error) {
    *error = reason;
  }
  std::vector<UpdateHistoryRow> rows;
  while (query && query->next()) {
    rows.push_back({query->value(0).toString(), query->value(1).toInt(), query->value(2).toInt(),
                    query->value(3).toInt(), query->value(4).toDouble()});
  }
  return rows;
}
