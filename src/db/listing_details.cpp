#include "db/listing_details.h"

#include <QSqlQuery>
#include <QVariant>

#include <map>
#include <set>

#include "db/incomplete_listings.h"
#include "db/mod_bd.h"
#include "db/sql_catalogue.h"

using namespace Qt::StringLiterals;

namespace {

// The last update of every recorded source; none when the catalogue keeps no sources (a file
// that could not gain their tables), which only leaves the dates blank.
std::map<int, QString> sourceDates() {
  QSqlQuery query(BdConnection().driverConnection());
  query.setForwardOnly(true);
  std::map<int, QString> dates;
  if (query.exec(sqlSourceDates())) {
    while (query.next()) {
      dates[query.value(0).toInt()] = query.value(1).toString();
    }
  }
  return dates;
}

}  // namespace

std::vector<ListingOverview> readListingOverview(QString& error) {
  QSqlQuery query(BdConnection().driverConnection());
  query.setForwardOnly(true);
  if (!query.exec(sqlListingOverview())) {
    error = reasonOf(BdConnection().noteFailure(query.lastError()));
    return {};
  }
  std::vector<ListingOverview> listings;
  while (query.next()) {
    ListingOverview& listing = listings.emplace_back();
    listing.rpId = query.value(0).toInt();
    listing.medium = query.value(1).toInt();
    listing.name = query.value(2).toString();
    listing.ubicacion = query.value(3).toString();
    listing.categoria = query.value(4).toString();
    listing.files = query.value(5).toLongLong();
  }
  const std::map<int, QString> dates = sourceDates();
  const std::set<int> incomplete = incompleteListings();
  for (ListingOverview& listing : listings) {
    const auto date = dates.find(listing.rpId);
    listing.updated = date == dates.end() ? QString() : date->second;
    listing.incomplete = incomplete.contains(listing.rpId);
  }
  return listings;
}

std::vector<SourceDetail> sourceDetails(const StoredSource& source) {
  const SourceIdentity& identity = source.identity;
  return {
      {u"catalogado"_s, u"Catalogado"_s, source.catalogued},
      {u"actualizado"_s, u"Última actualización"_s, source.updated},
      {u"ruta"_s, u"Ruta"_s, identity.path},
      {u"tipo_fs"_s, u"Sistema de archivos"_s, identity.volume.type},
      {u"etiqueta"_s, u"Etiqueta del volumen"_s, identity.volume.label},
      {u"uuid"_s, u"UUID del volumen"_s, identity.volume.uuid},
      {u"tamano"_s, u"Tamaño del volumen (bytes)"_s,
       identity.volume.size > 0 ? QString::number(identity.volume.size) : QString()},
      {u"ruta_relativa"_s, u"Ruta en el volumen"_s, identity.relativePath},
      {u"firma"_s, u"Firma de los archivos"_s, identity.signature},
      {u"opciones"_s, u"Opciones del escaneo"_s, identity.choices},
      {u"version_lectores"_s, u"Versión de los lectores"_s,
       QString::number(identity.readerVersion)},
  };
}
