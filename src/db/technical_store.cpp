#include "db/technical_store.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "base/log.h"
#include "db/mod_bd.h"
#include "db/sql_catalogue.h"

using namespace Qt::StringLiterals;

namespace {

// Noted on the connection, so a server connection lost meanwhile is opened again on next use.
QString reasonOfQuery(const QSqlQuery& query) {
  return reasonOf(BdConnection().noteFailure(query.lastError()));
}

}  // namespace

QString storeTechnicalFields(int rpId, const TechnicalFields& technical, int lastFile) {
  const QSqlDatabase db = BdConnection().driverConnection();
  QSqlQuery stale(db);
  stale.prepare(sqlForgetTechnicalRows());
  stale.addBindValue(rpId);
  if (!stale.exec()) {
    return reasonOfQuery(stale);
  }
  QSqlQuery row(db);
  if (!row.prepare(sqlTechnicalRowInsert())) {
    return reasonOfQuery(row);
  }
  for (int file = 1; file <= lastFile; ++file) {
    const AudioProperties* properties = technical.of(file);
    if (!properties) {
      continue;
    }
    for (const QVariant& value : {QVariant(rpId), QVariant(file), QVariant(properties->durationMs),
                                  QVariant(properties->kbps), QVariant(properties->hz),
                                  QVariant(properties->channels), QVariant(properties->bytes)}) {
      row.addBindValue(value);
    }
    if (!row.exec()) {
      return reasonOfQuery(row);
    }
  }
  return {};
}

void loadTechnicalFields(int rpId, ListingModel& model) {
  model.technical.clear();
  QSqlQuery rows(BdConnection().driverConnection());
  rows.setForwardOnly(true);
  rows.prepare(sqlTechnicalRowsOf());
  rows.addBindValue(rpId);
  if (!rows.exec()) {
    WriteLog(u"No se pueden leer de la BD los datos técnicos (listado número %1): %2"_s.arg(
        QString::number(rpId), reasonOfQuery(rows)));
    return;
  }
  while (rows.next()) {
    const int file = rows.value(0).toInt();
    if (file < 1 || file > model.NumCancionesMP3) {
      continue;
    }
    model.technical.set(file,
                        {rows.value(1).toLongLong(), rows.value(2).toInt(), rows.value(3).toInt(),
                         rows.value(4).toInt(), rows.value(5).toLongLong()});
    model.technical.present = true;
  }
}
