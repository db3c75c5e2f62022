#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <vector>

#include "db/catalogue_parts.h"
#include "stats/stats_sources.h"
#include "stats/stats_sql.h"

// The statistics' per-listing totals (stats_listings, stats_pairs, stats_values): what each
// listing adds to the figures, so a large catalogue's figures add up a few rows per listing.
// On the file database the search index's triggers note every change to a listing, whoever
// makes it; the totals are made again in the transaction that indexes the noted listings and
// clears their notes, so a listing with totals and no note has totals that match its files.
// Anything else (no index, a listing noted or without totals) is counted from its files. A
// server keeps them by triggers of its own (stats_sql_server.h).

/** Makes listings' totals again, inside the caller's transaction. */
class TotalsWriter : public ListingRefresh {
 public:
  explicit TotalsWriter(const QSqlDatabase& db);

  /** Whether the database has the totals' tables; without them there is nothing to keep. */
  bool present();
  /** Makes listing rpId's totals again; empty text, else the reason. */
  QString refresh(const QVariant& rpId) override;

 private:
  QSqlDatabase db_;
  std::vector<QSqlQuery> statements_;
};

/**
 * Gives an older file database the totals' tables (empty: the statistics fill them), in one
 * transaction. Empty text on success, else the reason, logged, and the database is left as it
 * was; its figures are then counted from the files.
 */
QString ensureTotalsTables();

/**
 * Whether the program keeps the catalogue's totals: a file with the search index, whose
 * triggers tell which listings changed.
 */
bool totalsKeptByProgram();

/**
 * Catches the search index up and makes missing totals, when the file database has the index
 * and takes writes; a failure is logged, and the listings concerned are counted from their files.
 */
void catchUpStatsTotals();

/**
 * Where the catalogue's figures for the scope are read: the totals when they stand for every
 * listing in it, else the files.
 */
StatsRows catalogueStatsRows(const StatsScope& scope);
