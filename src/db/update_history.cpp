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
  QSqlQuery query(BdConnection().driverConnection());
  query.prepare(sqlUpdateHistoryInsert());
  for (const QVariant& value :
       QVariantList{rpId, row.date, row.added, row.removed, row.changed, row.seconds}) {
    query.addBindValue(value);
  }
  return query.exec() ? QString() : reasonOf(BdConnection().noteFailure(query.lastError()));
}

std::vector<UpdateHistoryRow> readUpdateHistory(int rpId, QString* error) {
  QSqlQuery query(BdConnection().driverConnection());
  query.setForwardOnly(true);
  query.prepare(sqlUpdateHistoryOf());
  query.addBindValue(rpId);
  std::vector<UpdateHistoryRow> rows;
  if (!query.exec()) {
    if (error) {
      *error = reasonOf(BdConnection().noteFailure(query.lastError()));
    }
    return rows;
  }
  while (query.next()) {
    rows.push_back({query.value(0).toString(), query.value(1).toInt(), query.value(2).toInt(),
                    query.value(3).toInt(), query.value(4).toDouble()});
  }
  return rows;
}
