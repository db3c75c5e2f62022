#pragma once

#include <QString>

#include <vector>

#include "db/source_store.h"

// What is shown of stored listings beyond their names: each listing's user fields, size and
// date in one overview, and one listing's recorded source as named fields.

struct ListingOverview {
  int rpId = 0;
  int medium = 0;
  QString name;
  QString ubicacion;
  QString categoria;
  qint64 files = 0;
  QString updated;  // the source's last update, ISO 8601; empty when none is recorded
  bool incomplete = false;
};

/** Every stored listing in number order; error set (and what was read kept) on failure. */
std::vector<ListingOverview> readListingOverview(QString& error);

/** One field of a recorded source: its key for the command line, its label for the windows. */
struct SourceDetail {
  QString key;    // "uuid"
  QString label;  // "UUID del volumen"
  QString value;
};

/** The dates, then the identity of a recorded source, in the order they are shown. */
std::vector<SourceDetail> sourceDetails(const StoredSource& source);
