#include "stats/stats_totals.h"

#include <QSqlError>

#include <optional>

#include "base/log.h"
#include "db/bd_write_guard.h"
#include "db/db_connection.h"
#include "db/sql_script.h"
#include "search/search_engine.h"
#include "search/search_index.h"
#include "search/search_sql.h"

using namespace Qt::StringLiterals;

namespace {

// The file's totals are the program's to keep; a server's triggers keep its own.
bool programKeepsTotals() {
  return !searchEngine().keptCurrentByDatabase();
}

std::vector<QVariant> listingsWithoutTotals(const QSqlDatabase& db, QString& reason) {
  return listingNumbersOf(db, sqlListingsWithoutTotals(), reason);
}

// The script's objects, each only when missing.
QString createTables(const QSqlDatabase& db) {
  QSqlQuery query(db);
  for (const QString& statement : resourceScriptStatements(u":/listing_totals.sql"_s)) {
    if (!query.exec(statement)) {
      return reasonOf(query.lastError());
    }
  }
  return {};
}

bool totalsComplete(const QSqlDatabase& db) {
  QString reason;
  return TotalsWriter(db).present() && listingsWithoutTotals(db, reason).empty() &&
         reason.isEmpty();
}

// Gives an older database the tables, and every listing without totals its own, in one
// transaction.
QString makeMissingTotals() {
  const QSqlDatabase db = searchConnection().driverConnection();
  if (totalsComplete(db)) {
    return {};
  }
  ScopedTransaction transaction(searchConnection());
  if (!transaction.started()) {
    return searchConnection().lastError();
  }
  QString reason = createTables(db);
  const std::vector<QVariant> listings =
      reason.isEmpty() ? listingsWithoutTotals(db, reason) : std::vector<QVariant>();
  TotalsWriter writer(db);
  for (auto rpId = listings.begin(); reason.isEmpty() && rpId != listings.end(); ++rpId) {
    reason = writer.refresh(*rpId);
  }
  if (!reason.isEmpty()) {
    return reason;
  }
  return transaction.Commit() ? QString() : searchConnection().lastError();
}

// Listings of the scope whose totals cannot stand for their files; nothing when unknown.
std::optional<qint64> listingsNotCovered(const StatsScope& scope) {
  QSqlQuery query(searchConnection().driverConnection());
  if (!query.prepare(sqlListingsNotCovered(scope, sqlPendingListings()))) {
    return std::nullopt;
  }
  if (scope.rpId) {
    query.bindValue(u":rp_id"_s, *scope.rpId);
  }
  return query.exec() && query.next() ? std::optional(query.value(0).toLongLong()) : std::nullopt;
}

}  // namespace

bool totalsKeptByProgram() {
  return programKeepsTotals() && hasSearchIndex();
}

TotalsWriter::TotalsWriter(const QSqlDatabase& db) : db_(db) {}

bool TotalsWriter::present() {
  QSqlQuery query(db_);
  return query.exec(sqlTotalsTablesPresent()) && query.next() && query.value(0).toInt() == 3;
}

QString TotalsWriter::refresh(const QVariant& rpId) {
  if (statements_.empty()) {
    for (const QString& sql : sqlRefreshTotals(u":rp_id"_s)) {
      QSqlQuery& query = statements_.emplace_back(db_);
      if (!query.prepare(sql)) {
        const QString reason = reasonOf(query.lastError());
        statements_.clear();
        return reason;
      }
    }
  }
  for (QSqlQuery& query : statements_) {
    query.bindValue(u":rp_id"_s, rpId);
    if (!query.exec()) {
      return reasonOf(query.lastError());
    }
  }
  return {};
}

QString ensureTotalsTables() {
  const QSqlDatabase db = searchConnection().driverConnection();
  if (!programKeepsTotals() || TotalsWriter(db).present()) {
    return {};
  }
  ScopedTransaction transaction(searchConnection());
  QString reason = transaction.started() ? createTables(db) : searchConnection().lastError();
  if (reason.isEmpty() && !transaction.Commit()) {
    reason = searchConnection().lastError();
  }
  if (!reason.isEmpty()) {
    WriteLog(u"No se han podido crear las tablas de totales de las estadísticas de la BD: "_s +
             reason);
  }
  return reason;
}

void catchUpStatsTotals() {
  if (!totalsKeptByProgram() || isBdWriteRunning()) {
    return;
  }
  QString reason = updateSearchIndex();
  if (reason.isEmpty()) {
    reason = makeMissingTotals();
  }
  if (!reason.isEmpty()) {
    WriteLog(
        u"No se han podido poner al día los totales de las estadísticas de la BD (se "
        u"cuentan los archivos): "_s +
        reason);
  }
}

StatsRows catalogueStatsRows(const StatsScope& scope) {
  // A server's triggers keep them in every writer's transaction: a server catalogue the program
  // opened always has them.
  if (!programKeepsTotals()) {
    return StatsRows::Totals;
  }
  return totalsKeptByProgram() && listingsNotCovered(scope) == 0 ? StatsRows::Totals
                                                                 : StatsRows::Files;
}
