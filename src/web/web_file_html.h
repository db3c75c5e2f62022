#pragma once

#include <QString>

#include <vector>

#include "search/catalogue_search.h"
#include "stats/collection_stats.h"

// Stored files and the catalogue's figures as the pages show them, every text escaped and every "´"
// shown as the "'" it stands for.

/** A stored text as a page shows it, escaped. */
QString storedText(const QString& text);
/** "<h2>" with the listing's number and name, linked to it, then its location where kept. */
QString listingHeading(int rpId, const QString& name, const QString& ubicacion);
/** One file: directory and file name when withPlace, then artist, title, album, year, time. */
QString fileItem(const CatalogueFile& file, bool withPlace);
/** Files grouped under their listings, in the order given. */
QString filesByListing(const std::vector<CatalogueFile>& files);
/** The catalogue's totals: listings, directories, files, artists, albums. */
QString totalsHtml(const CollectionStats& stats);
/** Only the listings, directories and files of the counts. */
QString countsHtml(const TagCounts& counts);
