#include "search/listing_page.h"

#include <QSqlError>
#include <QSqlQuery>

#include "db/db_connection.h"
#include "search/search_index.h"
#include "search/search_sql.h"

using namespace Qt::StringLiterals;

namespace {

// Runs sql with the listing's number bound; false, with the reason in page.error, on failure.
bool ran(QSqlQuery& query, int rpId, ListingPage& page) {
  query.setForwardOnly(true);
  query.bindValue(u":rp_id"_s, rpId);
  if (query.exec()) {
    return true;
  }
  page.error = u"No se puede leer el listado número %1 de la BD: %2"_s.arg(rpId).arg(
      reasonOf(searchConnection().noteFailure(query.lastError())));
  return false;
}

}  // namespace

ListingPage readListingPage(int rpId, qint64 offset, int count) {
  ListingPage page;
  if (searchConnection().State() != kStateOpen) {
    page.error = u"La conexión con la BD no está abierta"_s;
    return page;
  }
  QSqlQuery summary(searchConnection().driverConnection());
  summary.prepare(sqlListingSummary());
  if (!ran(summary, rpId, page) || !summary.next()) {
    return page;
  }
  page.stored = true;
  page.name = summary.value(0).toString();
  page.medio = summary.value(1).toInt();
  page.ubicacion = summary.value(2).toString();
  page.files = summary.value(3).toLongLong();
  summary.finish();
  QSqlQuery files(searchConnection().driverConnection());
  files.prepare(sqlListingFilesPage());
  files.bindValue(u":count"_s, count);
  files.bindValue(u":offset"_s, offset);
  if (!ran(files, rpId, page)) {
    return page;
  }
  while (files.next()) {
    page.page.push_back(catalogueFileOf(files, 0));
  }
  return page;
}
