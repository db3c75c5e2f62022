#pragma once

#include <QByteArray>

#include <vector>

#include "output/table_export.h"
#include "scan/listing_model.h"

// A listing as a table: one row per file, in file number order, with its listing and its
// directory. File, directory and listing names are given as on disk (the stored "´" back to
// "'"), tag texts as the listing holds them, so a scanned listing and the same listing loaded
// from the database give the same table.

/** The listing's name and medium (1 CD, 2 directory). */
struct ListingName {
  QString name;
  int medio = 0;
};

/** A directory of a listing: its number and the numbers of its first and last files. */
struct DirectoryRange {
  int number;
  int first;
  int last;
};

/** The directories as the renderer walks them: each file range cut to the listing's slots. */
std::vector<DirectoryRange> directoryRanges(const ListingModel& model);

/** A scanned listing's: its FinalName and FinalType. A loaded listing's come with the load. */
ListingName listingNameOf(const ListingModel& model);

/** listado, medio, num_directorio, directorio, num_archivo, orden, archivo, the tag texts and
 *  the technical fields. */
QStringList listingColumns();

ExportTable listingTable(const ListingModel& model, const ListingName& name);

/**
 * The listing as one JSON document: its name, medium and counts, and its directories, each with
 * its files (every file object has the table's columns).
 */
QByteArray listingJsonBytes(const ListingModel& model, const ListingName& name);

/** "CD" or "DIR" (or "?" for a medium the program does not know). */
QString mediumText(int medio);
