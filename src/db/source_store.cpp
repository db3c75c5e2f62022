#include "db/source_store.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "db/bound_query.h"
#include "db/listing_properties.h"
#include "db/mod_bd.h"
#include "db/sql_catalogue.h"
#include "scan/source_identity.h"

using namespace Qt::StringLiterals;

namespace {

bool forget(const QSqlDatabase& db, const QString& sql, int rpId, QString& reason) {
  QSqlQuery query(db);
  query.prepare(sql);
  if (!execBound(query, {rpId})) {
    reason = reasonOfBdQuery(query);
    return false;
  }
  return true;
}

// A few hundred rows a statement: a whole collection's stamps are otherwise a statement each.
QString writeStamps(const QSqlDatabase& db, int rpId, const FileStamps& stamps, int lastFile) {
  constexpr int kRowsPerStatement = 200;
  QSqlQuery full(db);
  if (!full.prepare(sqlSourceStampInsert(kRowsPerStatement))) {
    return reasonOfBdQuery(full);
  }
  QVariantList values;
  const auto flush = [&](QSqlQuery& query) {
    for (const QVariant& value : std::as_const(values)) {
      query.addBindValue(value);
    }
    values.clear();
    return query.exec();
  };
  for (int file = 1; file <= lastFile; ++file) {
    if (const FileStamp* stamp = stamps.of(file)) {
      values << rpId << file << stamp->size << stamp->modified;
      if (values.size() == 4 * kRowsPerStatement && !flush(full)) {
        return reasonOfBdQuery(full);
      }
    }
  }
  if (values.isEmpty()) {
    return {};
  }
  QSqlQuery rest(db);
  if (!rest.prepare(sqlSourceStampInsert(static_cast<int>(values.size() / 4))) || !flush(rest)) {
    return reasonOfBdQuery(rest);
  }
  return {};
}

// The columns from 'at' on, in sqlSourceRowOf()'s order.
SourceIdentity identityAt(const QSqlQuery& row, int at, QString& catalogued, QString& updated) {
  SourceIdentity identity;
  identity.volume.type = row.value(at).toString();
  identity.volume.label = row.value(at + 1).toString();
  identity.volume.uuid = row.value(at + 2).toString();
  identity.volume.size = row.value(at + 3).toLongLong();
  identity.path = row.value(at + 4).toString();
  identity.relativePath = row.value(at + 5).toString();
  identity.signature = row.value(at + 6).toString();
  identity.choices = row.value(at + 7).toString();
  identity.readerVersion = row.value(at + 8).toInt();
  catalogued = row.value(at + 9).toString();
  updated = row.value(at + 10).toString();
  return identity;
}

}  // namespace

QString storeSourceIdentity(int rpId, const SourceIdentity& source, const FileStamps& stamps,
                            int lastFile, const QString& catalogued, const QString& updated) {
  const QSqlDatabase db = BdConnection().driverConnection();
  QString reason;
  if (!forget(db, sqlForgetSourceRow(), rpId, reason) ||
      !forget(db, sqlForgetSourceStamps(), rpId, reason) || source.path.isEmpty()) {
    return reason;
  }
  QSqlQuery row(db);
  row.prepare(sqlSourceRowInsert());
  if (!execBound(row, {rpId, textOrNull(source.volume.type), textOrNull(source.volume.label),
                       textOrNull(source.volume.uuid), source.volume.size, source.path,
                       source.relativePath, textOrNull(source.signature), source.choices,
                       source.readerVersion, catalogued, updated})) {
    return reasonOfBdQuery(row);
  }
  return writeStamps(db, rpId, stamps, lastFile);
}

std::optional<StoredSource> storedSourceOf(int rpId, QString& error) {
  QSqlQuery row(BdConnection().driverConnection());
  row.setForwardOnly(true);
  row.prepare(sqlSourceRowOf());
  if (!execBound(row, {rpId})) {
    error = reasonOfBdQuery(row);
    return std::nullopt;
  }
  if (!row.next()) {
    return std::nullopt;
  }
  StoredSource stored;
  stored.rpId = rpId;
  stored.identity = identityAt(row, 0, stored.catalogued, stored.updated);
  return stored;
}

std::vector<StoredSource> storedSourcesMatching(const ListingModel& scanned, QString& error) {
  // A catalogue not open is not opened for this: the scan owes it nothing.
  const QSqlDatabase db = BdConnection().driverConnection();
  if (!db.isOpen()) {
    return {};
  }
  QSqlQuery rows(db);
  rows.setForwardOnly(true);
  rows.prepare(sqlSourceCandidates());
  if (!execBound(rows,
                 {textOrNull(scanned.source.volume.uuid), textOrNull(scanned.source.signature)})) {
    error = reasonOfBdQuery(rows);
    return {};
  }
  std::vector<StoredSource> matches;
  while (rows.next()) {
    StoredSource stored;
    stored.rpId = rows.value(0).toInt();
    stored.name = rows.value(1).toString();
    stored.medium = rows.value(2).toInt();
    stored.identity = identityAt(rows, 3, stored.catalogued, stored.updated);
    stored.ubicacion = rows.value(14).toString();
    if (sameSource(stored.identity, stored.medium, scanned.source, scanned.FinalType)) {
      matches.push_back(stored);
    }
  }
  return matches;
}

QString recognitionText(const std::vector<StoredSource>& matches, const SourceIdentity& scanned) {
  if (matches.empty()) {
    return {};
  }
  const StoredSource& last = matches.front();
  QString text = u"Ya está catalogado como nº %1 «%2»"_s.arg(last.rpId).arg(last.name) +
                 locationSuffix(last.ubicacion);
  if (matches.size() > 1) {
    text += u" y %1 más"_s.arg(matches.size() - 1);
  }
  if (scanned.volume.uuid.isEmpty()) {
    text += u" (reconocido por sus archivos: no se ha podido leer la identidad del volumen)"_s;
  }
  return text;
}

QString storeDateNow() {
  return QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
}
