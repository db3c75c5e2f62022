#include "db/catalogue_copy.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariantList>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <vector>

#include "base/app_info.h"
#include "db/db_connection.h"
#include "db/db_engine.h"
#include "db/mod_bd.h"
#include "db/sql_catalogue.h"
#include "platform/output_file.h"
#include "platform/posix_file.h"

using namespace Qt::StringLiterals;

namespace {

using Row = QVariantList;

// A listing as stored: its reports row (without the number) and its rows, the technical
// fields', its mark of incomplete (one row or none), its source's, the user's fields (one
// row or none) and its updates' included, values as they are.
struct ListingRows {
  Row listing;
  std::vector<Row> directories;
  std::vector<Row> files;
  std::vector<Row> technical;
  std::vector<Row> incomplete;
  std::vector<Row> source;
  std::vector<Row> stamps;
  std::vector<Row> properties;
  std::vector<Row> history;

  // The same listing stored twice is one listing to copy, whenever each was catalogued or
  // updated: the source's two dates, its last columns, and the history are left out of the
  // comparison.
  bool operator==(const ListingRows& other) const {
    return listing == other.listing && directories == other.directories && files == other.files &&
           technical == other.technical && incomplete == other.incomplete &&
           stamps == other.stamps && properties == other.properties &&
           undated(source) == undated(other.source);
  }

 private:
  static std::vector<Row> undated(std::vector<Row> rows) {
    for (Row& row : rows) {
      row = row.mid(0, row.size() - 2);
    }
    return rows;
  }
};

// The rows a query gives; nothing when it fails (reason set).
std::optional<std::vector<Row>> rowsOf(DbConnection& connection, const QString& sql,
                                       const QVariantList& values, QString& reason) {
  QSqlQuery query(connection.driverConnection());
  query.setForwardOnly(true);
  query.prepare(sql);
  for (const QVariant& value : values) {
    query.addBindValue(value);
  }
  if (!query.exec()) {
    reason = reasonOf(connection.noteFailure(query.lastError()));
    return std::nullopt;
  }
  std::vector<Row> rows;
  while (query.next()) {
    Row row;
    for (int column = 0; column < query.record().count(); ++column) {
      // Both engines' kinds compared alike: whole numbers as numbers, the rest as text.
      const QVariant value = query.value(column);
      row.append(value.isNull() ? QVariant() : QVariant(value.toString()));
    }
    rows.push_back(row);
  }
  return rows;
}

std::optional<ListingRows> readListing(DbConnection& connection, int rpId, QString& reason) {
  const auto listing = rowsOf(connection, sqlCopyListingRow(), {rpId}, reason);
  const auto directories =
      listing ? rowsOf(connection, sqlCopyDirectories(), {rpId}, reason) : std::nullopt;
  const auto files =
      directories ? rowsOf(connection, sqlCopyFiles(), {rpId}, reason) : std::nullopt;
  const auto technical =
      files ? rowsOf(connection, sqlTechnicalRowsOf(), {rpId}, reason) : std::nullopt;
  const auto incomplete =
      technical ? rowsOf(connection, sqlIncompleteOf(), {rpId}, reason) : std::nullopt;
  const auto source =
      incomplete ? rowsOf(connection, sqlSourceRowOf(), {rpId}, reason) : std::nullopt;
  const auto stamps =
      source ? rowsOf(connection, sqlSourceStampsOf(), {rpId}, reason) : std::nullopt;
  const auto properties =
      stamps ? rowsOf(connection, sqlPropertiesOf(), {rpId}, reason) : std::nullopt;
  const auto history =
      properties ? rowsOf(connection, sqlUpdateHistoryOf(), {rpId}, reason) : std::nullopt;
  if (!history || listing->empty()) {
    return std::nullopt;
  }
  return ListingRows{listing->front(), *directories, *files,      *technical, *incomplete,
                     *source,          *stamps,      *properties, *history};
}

// The number of a target listing identical to this one, if any.
std::optional<int> identicalIn(DbConnection& target, const ListingRows& rows, QString& reason) {
  const auto candidates =
      rowsOf(target, sqlCopySameNameAndMedium(), {rows.listing[0], rows.listing[1]}, reason);
  for (const Row& candidate : candidates.value_or(std::vector<Row>())) {
    const int number = candidate.front().toInt();
    if (const auto stored = readListing(target, number, reason); stored && *stored == rows) {
      return number;
    }
  }
  return std::nullopt;
}

bool run(DbConnection& target, const QString& sql, const Row& values, QString& reason) {
  QSqlQuery query(target.driverConnection());
  query.prepare(sql);
  for (const QVariant& value : values) {
    query.addBindValue(value);
  }
  if (!query.exec()) {
    reason = reasonOf(target.noteFailure(query.lastError()));
    return false;
  }
  return true;
}

// Each row written under the listing's number.
bool insertAll(DbConnection& target, const QString& sql, int number, const std::vector<Row>& rows,
               QString& reason) {
  return std::all_of(rows.cbegin(), rows.cend(),
                     [&](const Row& row) { return run(target, sql, Row{number} + row, reason); });
}

// Writes the listing under its number, or the highest plus one, in one transaction; the
// number it got, or 0 (reason set).
int writeListing(DbConnection& target, int wanted, const ListingRows& rows, QString& reason) {
  ScopedTransaction transaction(target);
  if (!transaction.started()) {
    reason = target.lastError();
    return 0;
  }
  const auto taken = rowsOf(target, sqlCopyNumberTaken(), {wanted}, reason);
  const auto highest = taken ? rowsOf(target, sqlHighestNumber(), {}, reason) : std::nullopt;
  if (!highest) {
    return 0;
  }
  const int number = taken->empty() ? wanted : highest->front().front().toInt() + 1;
  // Rows a program that deleted without the side table's trigger left under the number go
  // first. The listing's own row last, as a store writes it: the listing shows whole or not
  // at all.
  if (!insertAll(target, sqlCopyDirectoryRow(), number, rows.directories, reason) ||
      !insertAll(target, sqlCopyFileRow(), number, rows.files, reason) ||
      !run(target, sqlForgetTechnicalRows(), Row{number}, reason) ||
      !insertAll(target, sqlTechnicalRowInsert(), number, rows.technical, reason) ||
      !run(target, sqlForgetIncompleteMark(), Row{number}, reason) ||
      (!rows.incomplete.empty() && !run(target, sqlIncompleteMark(), Row{number}, reason)) ||
      !run(target, sqlForgetSourceRow(), Row{number}, reason) ||
      !run(target, sqlForgetSourceStamps(), Row{number}, reason) ||
      !insertAll(target, sqlSourceRowInsert(), number, rows.source, reason) ||
      !insertAll(target, sqlSourceStampInsert(), number, rows.stamps, reason) ||
      !run(target, sqlForgetProperties(), Row{number}, reason) ||
      !insertAll(target, sqlPropertiesInsert(), number, rows.properties, reason) ||
      !run(target, sqlForgetUpdateHistory(), Row{number}, reason) ||
      !insertAll(target, sqlUpdateHistoryInsert(), number, rows.history, reason) ||
      !run(target, sqlCopyListingInsert(), Row{number} + rows.listing, reason)) {
    return 0;
  }
  if (!transaction.Commit()) {
    reason = target.lastError();
    return 0;
  }
  return number;
}

CopiedListing copyOne(DbConnection& source, DbConnection& target, int rpId) {
  CopiedListing copied;
  copied.from = rpId;
  const std::optional<ListingRows> rows = readListing(source, rpId, copied.error);
  if (!rows) {
    return copied;
  }
  if (const std::optional<int> same = identicalIn(target, *rows, copied.error)) {
    copied.to = *same;
    copied.already = true;
    return copied;
  }
  if (!copied.error.isEmpty()) {
    return copied;
  }
  copied.to = writeListing(target, rpId, *rows, copied.error);
  return copied;
}

}  // namespace

QString missingDatabaseFile(const QString& connectionString) {
  const ConnectionParts parts = parseConnectionString(connectionString);
  const bool missing = engineFor(parts.provider).keepsFile() && !parts.dataSource.isEmpty() &&
                       !QFileInfo::exists(parts.dataSource);
  return missing ? parts.dataSource : QString();
}

QString openCopySource(DbConnection& connection, const QString& connectionString) {
  // Opening a file that is not there would make an empty one.
  if (const QString missing = missingDatabaseFile(connectionString); !missing.isEmpty()) {
    return u"no existe la base de datos de origen: "_s + missing;
  }
  return connection.Open(connectionString)
             ? QString()
             : u"no se puede abrir la base de datos de origen: "_s + connection.lastError();
}

QString openCopyTarget(DbConnection& connection, const QString& connectionString) {
  if (const QString missing = missingDatabaseFile(connectionString); !missing.isEmpty()) {
    QFile blank(ProgramFile(kBdTemplateName.toString()));
    if (!blank.open(QIODevice::ReadOnly)) {
      return u"No se encuentra la plantilla de base de datos vacía %1"_s.arg(blank.fileName());
    }
    const int error = createFileWhole(QFile::encodeName(missing), blank.readAll());
    if (error != 0 && error != EEXIST) {
      return u"No se puede crear %1: %2"_s.arg(missing, systemErrorText(error));
    }
  }
  return connection.Open(connectionString) ? QString() : connection.lastError();
}

bool copyCatalogue(DbConnection& source, DbConnection& target,
                   const std::function<void(const CopiedListing&)>& report, QString& reason) {
  const auto listings = rowsOf(source, sqlCopyListingNumbers(), {}, reason);
  if (!listings) {
    return false;
  }
  for (const Row& listing : *listings) {
    report(copyOne(source, target, listing.front().toInt()));
  }
  return true;
}
