#pragma once

#include <QSqlDatabase>
#include <QString>

// The tables a database file keeps beside the catalogue (the technical fields' infotecnica),
// made by the file engine itself: a file written before they existed gains them when opened,
// and a listing's rows go with it by a trigger of the file's own.

/**
 * The version of the file's own objects once the side table is there: the one after the
 * search index's second.
 */
inline constexpr int kTechnicalSchemaVersion = 3;

/**
 * Gives an older file the side table, in one transaction, and the version above the search
 * index's when the index is at its latest; a file that has both is left alone. A file that
 * cannot gain it (read-only, say) is logged and read as one whose listings have no technical
 * fields. Empty text on success, else the reason.
 */
QString prepareFileSideTables(QSqlDatabase& db);

/**
 * Inside a write transaction just begun: makes the side table when the file could not gain it
 * when it was opened, so rows written now are kept in the file. Empty text, else the reason.
 */
QString gainFileSideTablesInWrite(QSqlDatabase& db);
