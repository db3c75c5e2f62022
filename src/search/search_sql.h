#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include "search/catalogue_search.h"

// Every statement of the search index: the one place that knows the engine's full-text search
// (SQLite's FTS5 with trigrams). A second engine is a second implementation of these.

inline constexpr int kSearchSchemaVersion = 2;

/** Where a piece of a query may occur: a file's own texts, its directory's or its listing's name.
 */
enum class SearchPlace { Files, Directory, Listing };

/** One way a file can match: the expression each place must match; empty for no condition. */
struct MatchWay {
  QString files;
  QString directory;
  QString listing;
};

/** A statement with the values of its "?" in order. */
struct SearchStatement {
  QString sql;
  QStringList values;
};

/** The statements that create the index objects, each once (those missing only). */
QStringList sqlCreateSearchIndex();
/** The statements that drop whatever of those objects exists, dependents first. */
QStringList sqlDropSearchIndex();
QString sqlSchemaVersion();
QString sqlSearchIndexPresent();
QString sqlNoteEveryListing();
QString sqlPendingListings();
QString sqlClearPending();
/** Forgetting listing :rp_id: what it indexed, then its files' rows. */
QStringList sqlForgetListing();
/**
 * Gives the connection the functions that fold texts for the index (search_text) and make
 * the copies' key (search_key), for the statements below. Empty text, else the reason.
 */
QString registerSearchFunctions(const QSqlDatabase& db);
/** Indexing listing :rp_id, when it has its row: its files first, then the names they list. */
QStringList sqlIndexListing();

/** The trigrams of the index's three places starting with :piece, below :end. */
QString sqlTrigramsStartingWith();
/** The full-text expression: every phrase, each one of its alternatives, in the field. */
QString matchExpression(const std::vector<QStringList>& phrases, SearchField field);

/** Whether some row of the place matches :expression. */
QString sqlPlaceHasMatch(SearchPlace place);
/**
 * The files that match one of the ways, in listing order; with their folded texts, the file's
 * seven then its directory's and its listing's names, when they are to be checked.
 */
SearchStatement sqlSearch(const std::vector<MatchWay>& ways, SearchMedium medium,
                          bool withFoldedTexts, int limit);
/** The files whose key another file of the medium shares, by key, then listing order. */
QString sqlDuplicates(SearchMedium medium);
