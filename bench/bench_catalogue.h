#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <vector>

#include "scan/listing_model.h"

// The catalogue the database benchmarks work on: 1,000 stored listings of 1,000 files, made of
// accented syllables so names fold to other texts, by artist and album as people store them.

inline constexpr int kListings = 1000;
inline constexpr int kFilesPerListing = 1000;
inline constexpr int kFilesPerDirectory = 12;

/** Reports why a benchmark cannot go on and ends it with exit code 2. */
[[noreturn]] void fail(const QString& why);

/** How many listings of kFilesPerListing files, and the files of one larger listing after them. */
struct CatalogueSize {
  int listings = kListings;
  int largeListingFiles = 0;
};

/**
 * Writes the catalogue into the open database by plain SQL, in one transaction, up to
 * rowsPerStatement directory or file rows to a statement.
 */
void generateCatalogue(int rowsPerStatement = 1, CatalogueSize size = {});

/** The seconds each step of generateServerCatalogue took. */
struct ServerLoadTimes {
  double loadS = 0;
  double indexS = 0;
  double analyzeS = 0;
};

/** The catalogue on the open PostgreSQL server, stored and folded, its text indexes built. */
ServerLoadTimes generateServerCatalogue(CatalogueSize size = {});

/** The open file's database as it was before the search index existed. */
void dropSearchIndex();

/** Runs the statements on the open database; a failure ends the benchmark. */
void execute(const QStringList& statements);

/** The first column of what sql returns. */
QStringList column(const QString& sql);

/** A full listing, of as many files as a listing holds, made like the catalogue's. */
std::unique_ptr<ListingModel> fullListing();

/** The middle one of the runs' figures. */
double medianOf(std::vector<double> values);

/** How long work takes, in milliseconds. */
double timedMs(const std::function<void()>& work);
