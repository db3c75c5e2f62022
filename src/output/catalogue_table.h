#pragma once

#include <vector>

#include "output/table_export.h"
#include "search/catalogue_search.h"

// Found files as a table, with the listing export's column names for the fields they carry:
// the listing's number and name, its medium, the directory, the file's number and name and its
// tag texts, its duration, and last the listing's location and category; names as on disk, as the
// search prints them.

ExportTable searchTable(const std::vector<CatalogueFile>& files);

/** The copies of each group, the group's number (1, 2, ...) first in a column "grupo". */
ExportTable duplicatesTable(const std::vector<DuplicateGroup>& groups);
