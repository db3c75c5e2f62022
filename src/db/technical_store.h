#pragma once

#include <QString>

#include "scan/listing_model.h"

// The technical fields' side table (infotecnica) of the program's database: created on a
// database written before it existed, written with a stored listing, read back with it. The
// database deletes its rows with their listing. Its statements go to the driver's connection,
// beside the catalogue's, inside their transaction.

/**
 * The version of the database's own objects once the side table is there: the one after the
 * search index's second.
 */
inline constexpr int kTechnicalSchemaVersion = 3;

/**
 * Gives an older database the side table, in one transaction, and the version above the
 * search index's when the index is at its latest; a database that has both is left alone.
 * Empty text on success, else the reason, logged, and the database is left as it was.
 */
QString ensureTechnicalTable();

/**
 * Writes the technical fields of files 1 to lastFile of model under listing rpId, inside the
 * caller's transaction (creating the table there when the database lacks it). Rows left
 * behind under that number by a program that deleted without the trigger go first. Empty text
 * on success, else the reason.
 */
QString storeTechnicalFields(qint16 rpId, const TechnicalFields& technical, int lastFile);

/**
 * Reads listing rpId's technical fields into model, by file number; a listing stored without
 * them, or a database without the table, leaves model without them.
 */
void loadTechnicalFields(qint16 rpId, ListingModel& model);
