#pragma once

#include <QString>
#include <QStringList>

#include "search/catalogue_search.h"

// Every statement of the search index: the one place that knows the engine's full-text search
// (SQLite's FTS5 with trigrams). A second engine is a second implementation of these.

inline constexpr int kSearchSchemaVersion = 1;

/** The statements that create the index objects, each once (those missing only). */
QStringList sqlCreateSearchIndex();
QString sqlSchemaVersion();
QString sqlSearchIndexPresent();
QString sqlNoteEveryListing();
QString sqlPendingListings();
QString sqlClearPending();
/** Forgetting listing :rp_id: the index rows first, then the files' keys. */
QStringList sqlForgetListing();
/** The files of listing :rp_id with their directory and listing name, when it has its row. */
QString sqlFilesToIndex();
QString sqlIndexText();
QString sqlIndexKey();

/** The trigrams of the index starting with :piece, below :end. */
QString sqlTrigramsStartingWith();
/** The full-text expression: every phrase, each one of its alternatives, in the field. */
QString matchExpression(const std::vector<QStringList>& phrases, SearchField field);

/** The files that match :expression; with the folded texts when checked, in listing order. */
QString sqlSearch(SearchMedium medium, bool withFoldedTexts, int limit);
/** The files whose key another file of the medium shares, by key, then listing order. */
QString sqlDuplicates(SearchMedium medium);
