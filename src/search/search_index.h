#pragma once

#include <QString>

#include "db/listing_store.h"

// The search index of the program's database (BdConnection): created on a database written
// before it existed, and brought up to date with the listings its triggers noted.

/** Whether the database already has the index (an older one has not). */
bool hasSearchIndex();

/**
 * Gives an older database the index and indexes every stored listing, in one transaction,
 * reporting each listing to progress; logs one line. Empty text on success, else the reason
 * (logged), and the database is left as it was.
 */
QString createSearchIndex(const StoreProgressFn& progress = {});

/**
 * Folds and indexes the listings changed since the last update (creating the index first on an
 * older database). Empty text on success, else the reason.
 */
QString updateSearchIndex();
