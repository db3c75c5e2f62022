#pragma once

#include <QString>
#include <QStringList>

#include <vector>

#include "stats/collection_stats.h"
#include "stats/stats_sources.h"

// The statements of the catalogue's figures. They are plain SQL that SQLite and PostgreSQL
// both run, so every engine shares them; each names its scope's listing as :rp_id when it has
// one.

/** Where a figure's rows come from: the stored files, or the listings' totals. */
enum class StatsRows { Files, Totals };

QString sqlCountListings(const StatsScope& scope);
QString sqlCountDirectories(const StatsScope& scope, StatsRows rows);
QString sqlCountFiles(const StatsScope& scope, StatsRows rows);
/**
 * artist, album, files, files without title, files without tag: one row per pair (per pair
 * and listing from the totals). One pass over the files gives all of these.
 */
QString sqlArtistAlbums(const StatsScope& scope, StatsRows rows);
/** text, files: one row per value of column (genre or year; per value and listing from the
 *  totals). */
QString sqlFilesBy(const QString& column, const StatsScope& scope, StatsRows rows);
/** The files failing the check (sqlCatalogueFileColumns), in listing and file order. */
QString sqlFilesFailing(const StatsScope& scope, HealthCheck check, int limit);
/**
 * The statements that make a listing's totals again from its stored files: its old rows go
 * first, and a listing without its reports row gets none. listing is an SQL expression giving
 * its number (":rp_id", or a function's argument).
 */
QStringList sqlRefreshTotals(const QString& listing);
/** Making listing's row of stats_listings again, as sqlRefreshTotals does. */
QStringList sqlRefreshListingRow(const QString& listing);

/**
 * One of the file's totals tables as an update in place follows it by differences, each row
 * named by two texts (artist and album; field and value) and holding one to three counts. The
 * program's own: these use the rows' rowid.
 */
struct TotalsTableSql {
  QString table;
  QStringList names;   // the two texts' columns
  QStringList counts;  // the counts' columns, files first

  /** rowid, the two texts and the counts of listing rpId's rows. */
  QString rowsOf(int rpId) const;
  /** The two texts and the counts that listing rpId's files numbered in numbers add. */
  QString ofFiles(int rpId, const QString& numbers) const;
  /** Binds the counts, then the rowid. */
  QString update() const;
  /** Binds rp_id, the two texts, the counts. */
  QString insert() const;
  /** Binds the rowid. */
  QString remove() const;
};
/** The file's stats_pairs and stats_values. */
std::vector<TotalsTableSql> sqlTotalsTables();
/** A row when listing rpId has totals and is not noted as changed since they were made. */
QString sqlListingTotalsCurrent(int rpId, const QString& noted);

/** The numbers of the listings that have no totals. */
QString sqlListingsWithoutTotals();
/**
 * How many listings of the scope have no totals or are among noted (a query of listing
 * numbers whose totals may no longer match their files).
 */
QString sqlListingsNotCovered(const StatsScope& scope, const QString& noted);
