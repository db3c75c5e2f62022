#pragma once

#include <QString>

#include <optional>

#include "db/catalogue_parts.h"

// A side table kept beside the catalogue, keyed by listing, as one part of it: a file written
// before the table existed gains it (and its trigger) when opened, in one transaction; a file
// that cannot (read-only, say) is logged and read through an empty table of the connection's
// own, as one whose listings have no rows there, until a write transaction can make it; a
// server is given it with the catalogue's tables.

struct SideTable {
  QString name;          // "infotecnica"
  QString fileScript;    // ":/technical_fields.sql"
  QString serverScript;  // ":/technical_fields_server.sql"
  QString standIn;       // the connection's own empty table: CREATE TEMP TABLE IF NOT EXISTS ...,
                         // or none: a reader's query then fails and is read as finding no rows
  QString what;          // what the messages call it: "la tabla de datos técnicos"
  /** The file's PRAGMA user_version once the table is there, raised only from the one before. */
  std::optional<int> fileVersion;
};

class SideTablePart : public CataloguePart {
 public:
  explicit SideTablePart(SideTable table) : table_(std::move(table)) {}

  void prepareFile(QSqlDatabase& db) const override;
  QString prepareFileWrite(QSqlDatabase& db) const override;
  QStringList serverObjects(QSqlDatabase& db, QString& reason) const override;

 private:
  bool fileHasTable(QSqlDatabase& db) const;
  QString createObjects(QSqlDatabase& db) const;
  QString createInTransaction(QSqlDatabase& db, bool raiseVersion) const;
  QString missingText() const;

  SideTable table_;
};
