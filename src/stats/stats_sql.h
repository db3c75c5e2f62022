#pragma once

#include <QString>

#include "stats/collection_stats.h"
#include "stats/stats_sources.h"

// The statements of the catalogue's figures. They are plain SQL that SQLite and PostgreSQL
// both run, so every engine shares them; each names its scope's listing as :rp_id when it has
// one.

QString sqlCountListings(const StatsScope& scope);
QString sqlCountDirectories(const StatsScope& scope);
/**
 * artist, album, files, files without title, files without tag: one row per pair. One pass
 * over the files gives all of these.
 */
QString sqlArtistAlbums(const StatsScope& scope);
/** text, files: one row per value of column (genre or year). */
QString sqlFilesBy(const QString& column, const StatsScope& scope);
/** The files failing the check (sqlCatalogueFileColumns), in listing and file order. */
QString sqlFilesFailing(const StatsScope& scope, HealthCheck check, int limit);
