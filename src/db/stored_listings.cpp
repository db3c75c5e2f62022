#include "db/stored_listings.h"

#include <array>
#include <set>

#include "base/log.h"
#include "db/bd_write_guard.h"
#include "db/incomplete_listings.h"
#include "db/mod_bd.h"
#include "db/sql_catalogue.h"
#include "scan/listing_model.h"

using namespace Qt::StringLiterals;

namespace {

// Reads the listings of one medium; false, with what was read, when the query fails.
bool readMedium(int medium, const std::set<int>& incomplete, std::vector<StoredListing>& listings) {
  DbRecordset& recordset = BdRecordset();
  recordset.Close();
  if (!recordset.Open(sqlListingsOfMedium(medium), BdConnection())) {
    return false;
  }
  for (int row = 0; row < recordset.RecordCount(); ++row) {
    if (const std::optional<int> id = toInt32(recordset.Fields(u"rp_id"_s))) {
      listings.push_back(
          {*id, recordset.Fields(u"report_name"_s).toString(), incomplete.contains(*id)});
    }
    recordset.MoveNext();
  }
  recordset.Close();
  return true;
}

struct DeleteStep {
  QString sql;
  QString logLine;
};

std::array<DeleteStep, 3> deleteSteps(int rpId) {
  const QString n = QString::number(rpId);
  return {
      {{sqlDeleteListing(rpId), u"Borrando informacion del listado número "_s + n},
       {sqlDeleteDirectories(rpId),
        u"Borrando informacion de estructura de directorios del listado número "_s + n},
       {sqlDeleteFiles(rpId), u"Borrando informacion de ficheros mp3 del listado número "_s + n}}};
}

QString deleteInTransaction(int rpId, const std::function<void()>& pump) {
  ScopedTransaction transaction(BdConnection());
  if (!transaction.started()) {
    return BdConnection().lastError();
  }
  for (const DeleteStep& step : deleteSteps(rpId)) {
    if (!BdConnection().Execute(step.sql)) {
      return BdConnection().lastError();
    }
    WriteLog(step.logLine);
    if (pump) {
      pump();
    }
  }
  return transaction.Commit() ? QString() : BdConnection().lastError();
}

// The number of the first reports row a query gives: 0 when it gives none, nothing (logged)
// when the query fails.
std::optional<int> firstListingNumber(const QString& sql) {
  DbRecordset& recordset = BdRecordset();
  recordset.Close();
  if (!recordset.Open(sql, BdConnection())) {
    WriteLog(u"No se puede consultar la BD: "_s + BdConnection().lastError());
    return std::nullopt;
  }
  const int id =
      recordset.RecordCount() > 0 ? toInt32(recordset.Fields(u"rp_id"_s)).value_or(0) : 0;
  recordset.Close();
  return id;
}

}  // namespace

StoredListings readStoredListings() {
  StoredListings listings;
  const std::set<int> incomplete = incompleteListings();
  if (!readMedium(kMedioCd, incomplete, listings.cds) ||
      !readMedium(kMedioDirectorio, incomplete, listings.directories)) {
    listings.error = BdConnection().lastError();
    WriteLog(u"No se pueden leer los listados de la BD: "_s + listings.error);
  }
  return listings;
}

std::optional<int> findStoredCd(const QString& label) {
  const std::optional<int> id = firstListingNumber(sqlStoredCdCheck(label));
  return id && *id != 0 ? id : std::nullopt;
}

std::optional<bool> isListingStored(int rpId) {
  const std::optional<int> id = firstListingNumber(sqlListingByNumber(rpId));
  return id ? std::optional<bool>(*id != 0) : std::nullopt;
}

QString deleteStoredListing(int rpId, const std::function<void()>& pump) {
  const BdWriteGuard guard;
  const QString error = guard.acquired() ? deleteInTransaction(rpId, pump) : bdBusyText();
  if (!error.isEmpty()) {
    WriteLog(u"No se ha podido borrar el listado número %1 de la BD: %2"_s.arg(
        QString::number(rpId), error));
    return error;
  }
  WriteLog(u"Listado número %1 eliminado permanentemente de la BD"_s.arg(rpId));
  return {};
}

int listingNumberOfKey(const QString& key) {
  QStringView rest;
  if (key.startsWith(u"dir"_s)) {
    rest = QStringView(key).mid(3);
  } else if (key.startsWith(u"cd"_s)) {
    rest = QStringView(key).mid(2);
  }
  qsizetype digits = 0;
  while (digits < rest.size() && rest[digits] >= u'0' && rest[digits] <= u'9') {
    ++digits;
  }
  return toInt32(rest.left(digits).toString()).value_or(0);
}
