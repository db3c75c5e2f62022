#pragma once

#include <QString>

#include <vector>

#include "search/catalogue_search.h"

// A stored listing read a page at a time: its summary and only the files of the page asked
// for, so the first page of a very large listing costs what a small one does.

struct ListingPage {
  bool stored = false;  // the listing has its reports row
  QString name;
  int medio = 0;
  QString ubicacion;
  qint64 files = 0;                 // every file of the listing
  std::vector<CatalogueFile> page;  // the page's files, by file number
  QString error;                    // empty on success, else the reason in Spanish
};

/**
 * Listing rpId's summary and count of its files from offset on, read on the calling thread's
 * search connection (searchConnection()).
 */
ListingPage readListingPage(int rpId, qint64 offset, int count);
