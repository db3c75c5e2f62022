#pragma once

#include <QString>

#include "scan/listing_model.h"

// The technical fields' side table (infotecnica) of the program's database: written with a
// stored listing, read back with it. Each engine makes the table when it readies a database and
// deletes its rows with their listing. Its statements go to the driver's connection, beside the
// catalogue's, inside their transaction.

/**
 * Writes the technical fields of files 1 to lastFile of model under listing rpId, inside the
 * caller's transaction. Rows left behind under that number by a program that deleted without
 * the trigger go first. Empty text on success, else the reason.
 */
QString storeTechnicalFields(int rpId, const TechnicalFields& technical, int lastFile);

/**
 * Reads listing rpId's technical fields into model, by file number; a listing stored without
 * them, or a database without the table, leaves model without them.
 */
void loadTechnicalFields(int rpId, ListingModel& model);
