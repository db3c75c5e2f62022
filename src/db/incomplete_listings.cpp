#include "db/incomplete_listings.h"

#include <QSqlQuery>

#include "base/log.h"
#include "db/mod_bd.h"
#include "db/side_table_part.h"
#include "db/sql_catalogue.h"

using namespace Qt::StringLiterals;

namespace {

// The rows a query of one bound listing number gives, as numbers; nothing (logged) on failure.
std::optional<std::set<int>> listingNumbers(const QString& sql, const QVariantList& values) {
  QSqlQuery query(BdConnection().driverConnection());
  query.setForwardOnly(true);
  query.prepare(sql);
  for (const QVariant& value : values) {
    query.addBindValue(value);
  }
  if (!query.exec()) {
    WriteLog(u"No se pueden leer de la BD las marcas de listados incompletos: "_s +
             reasonOf(BdConnection().noteFailure(query.lastError())));
    return std::nullopt;
  }
  std::set<int> numbers;
  while (query.next()) {
    numbers.insert(query.value(0).toInt());
  }
  return numbers;
}

bool runForListing(const QString& sql, int rpId, QString& reason) {
  QSqlQuery query(BdConnection().driverConnection());
  query.prepare(sql);
  query.addBindValue(rpId);
  if (!query.exec()) {
    reason = reasonOf(BdConnection().noteFailure(query.lastError()));
    return false;
  }
  return true;
}

}  // namespace

const CataloguePart& incompleteListingsPart() {
  static const SideTablePart part({u"incompletos"_s, u":/incomplete_listings.sql"_s,
                                   u":/incomplete_listings_server.sql"_s,
                                   u"CREATE TEMP TABLE IF NOT EXISTS incompletos (rp_id INTEGER)"_s,
                                   u"la tabla de listados incompletos"_s, std::nullopt});
  return part;
}

QString markListingIncomplete(int rpId) {
  QString reason;
  (void)(runForListing(sqlForgetIncompleteMark(), rpId, reason) &&
         runForListing(sqlIncompleteMark(), rpId, reason));
  return reason;
}

bool isListingIncomplete(int rpId) {
  return !listingNumbers(sqlIncompleteOf(), {rpId}).value_or(std::set<int>()).empty();
}

std::set<int> incompleteListings() {
  return listingNumbers(sqlIncompleteListings(), {}).value_or(std::set<int>());
}

QString incompleteListingText() {
  return u"Listado incompleto: su escaneo se detuvo antes de recorrer todo el árbol, en los "
         u"límites clásicos o con «Detener»"_s;
}
