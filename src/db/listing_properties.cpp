#include "db/listing_properties.h"

#include <QDate>
#include <QSqlQuery>
#include <QVariant>

#include "db/bd_write_guard.h"
#include "db/bound_query.h"
#include "db/mod_bd.h"
#include "db/side_table_part.h"
#include "db/sql_catalogue.h"

using namespace Qt::StringLiterals;

namespace {

ListingProperties applied(ListingProperties fields, const PropertyChanges& changes) {
  fields.ubicacion = changes.ubicacion.value_or(fields.ubicacion);
  fields.categoria = changes.categoria.value_or(fields.categoria);
  fields.comentario = changes.comentario.value_or(fields.comentario);
  if (changes.prestadoA && *changes.prestadoA != fields.prestadoA) {
    fields.prestadoA = *changes.prestadoA;
    fields.prestadoEl =
        fields.prestadoA.isEmpty() ? QString() : QDate::currentDate().toString(Qt::ISODate);
  }
  return fields;
}

QString replaceRow(int rpId, const ListingProperties& fields) {
  const QSqlDatabase db = BdConnection().driverConnection();
  QSqlQuery query(db);
  query.prepare(sqlForgetProperties());
  if (!execBound(query, {rpId})) {
    return reasonOfBdQuery(query);
  }
  if (fields == ListingProperties()) {
    return {};
  }
  query.prepare(sqlPropertiesInsert());
  if (!execBound(query, {rpId, textOrNull(fields.ubicacion), textOrNull(fields.categoria),
                         textOrNull(fields.comentario), textOrNull(fields.prestadoA),
                         textOrNull(fields.prestadoEl)})) {
    return reasonOfBdQuery(query);
  }
  return {};
}

QString writeInTransaction(int rpId, const PropertyChanges& changes) {
  ScopedTransaction transaction(BdConnection());
  if (!transaction.started()) {
    return BdConnection().lastError();
  }
  QString reason;
  const std::optional<ListingProperties> stored = readListingProperties(rpId, reason);
  if (!stored) {
    return reason;
  }
  if (reason = replaceRow(rpId, applied(*stored, changes)); !reason.isEmpty()) {
    return reason;
  }
  return transaction.Commit() ? QString() : BdConnection().lastError();
}

ListingProperties propertiesAt(const QSqlQuery& row, int at) {
  return {row.value(at).toString(), row.value(at + 1).toString(), row.value(at + 2).toString(),
          row.value(at + 3).toString(), row.value(at + 4).toString()};
}

}  // namespace

const CataloguePart& listingPropertiesPart() {
  static const SideTablePart part(
      {u"propiedades"_s, u":/listing_properties.sql"_s, u":/listing_properties_server.sql"_s,
       u"CREATE TEMP TABLE IF NOT EXISTS propiedades (rp_id INTEGER, ubicacion TEXT, categoria "
       u"TEXT, comentario TEXT, prestado_a TEXT, prestado_el TEXT)"_s,
       u"la tabla de propiedades de los listados"_s, std::nullopt});
  return part;
}

std::optional<ListingProperties> readListingProperties(int rpId, QString& reason) {
  QSqlQuery query(BdConnection().driverConnection());
  query.setForwardOnly(true);
  query.prepare(sqlPropertiesOf());
  if (!execBound(query, {rpId})) {
    reason = reasonOfBdQuery(query);
    return std::nullopt;
  }
  return query.next() ? propertiesAt(query, 0) : ListingProperties();
}

QString writeListingProperties(int rpId, const PropertyChanges& changes) {
  const BdWriteGuard guard;
  return guard.acquired() ? writeInTransaction(rpId, changes) : bdBusyText();
}

QString locationSuffix(const QString& ubicacion) {
  return ubicacion.isEmpty() ? QString() : u" (Ubicación: %1)"_s.arg(ubicacion);
}
