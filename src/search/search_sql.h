#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include "search/catalogue_search.h"

// Every statement of the search index: the one place that knows the engine's full-text search
// (SQLite's FTS5 with trigrams). A second engine is a second implementation of these.

inline constexpr int kSearchSchemaVersion = 2;

/** The column of the stored texts a field names; empty for every field. */
QString searchColumnOf(SearchField field);
/** " AND <reports>.medio = ..." for a medium; empty for every medium. */
QString sqlMediumCondition(SearchMedium medium, const QString& reports);
/** The directory that lists file i: the one whose file range holds it and starts nearest. */
QString sqlDirectoryOfFile();

/** The statements that create the index objects, each once (those missing only). */
QStringList sqlCreateSearchIndex();
/** The statements that drop whatever of those objects exists, dependents first. */
QStringList sqlDropSearchIndex();
QString sqlSchemaVersion();
QString sqlSearchIndexPresent();
/** How many of the statistics' three per-listing totals tables the file has. */
QString sqlTotalsTablesPresent();
QString sqlNoteEveryListing();
QString sqlPendingListings();
QString sqlClearPending();
/** Forgetting listing :rp_id: the index rows first, then the files' keys. */
QStringList sqlForgetListing();
/**
 * Gives the connection the functions that fold texts for the index (search_text) and make
 * the copies' key (search_key), for the two statements below. Empty text, else the reason.
 */
QString registerSearchFunctions(const QSqlDatabase& db);
/**
 * How much the full-text index gathers in memory before it writes a piece of itself out: a
 * large listing written in small pieces spends most of its time merging them.
 */
QString sqlIndexWriteBuffer();
/**
 * Indexes the folded texts of listing :rp_id's files, when the listing has its row; given
 * numbers (an IN list of filegenorders), of the files so numbered only.
 */
QString sqlIndexTexts(const QString& numbers = {});
/** Keeps each of those files' listing and key. */
QString sqlIndexKeys(const QString& numbers = {});
/** Whether listing :rp_id is noted as changed since it was indexed: a row when it is. */
QString sqlListingNoted();
/** Forgets the notes of listing :rp_id. */
QString sqlForgetListingNotes();
/** Forgetting listing :rp_id's files numbered in numbers (an IN list): index rows, then keys. */
QStringList sqlForgetFilesNumbered(const QString& numbers);
/**
 * Taking away, and giving back, the trigger that notes a listing for each of its files
 * changed, while the rows kept by an update are only renumbered.
 */
QString sqlPauseFileChanges();
QString sqlResumeFileChanges();

/** The trigrams of the index starting with :piece, below :end. */
QString sqlTrigramsStartingWith();
/** The full-text expression: every phrase, each one of its alternatives, in the field. */
QString matchExpression(const std::vector<QStringList>& phrases, SearchField field);

/** The parameter that gives the checked piece number piece. */
QString checkedPiece(qsizetype piece);
/**
 * The files that match :expression and whose chosen folded texts hold each of the checked
 * pieces (:piece0, :piece1, ...), in listing order, as sqlFoundFiles reads them for the
 * request's limit (0 for every file) and page.
 */
QString sqlSearch(const SearchRequest& request, qsizetype checkedPieces);
/**
 * The files of found read whole (sqlCatalogueFileColumns), in listing order. found gives the
 * files found by their rp_id, filegenorder and a column "file" that tells apart the files of a
 * listing that share a number; fileRow joins each one's infoMP3 row, as i, to those columns, as
 * p. With a page (shownCount > 0) only its files are read, each row followed by how many files
 * and listings were found in all; else every file.
 */
QString sqlFoundFiles(const QString& found, const QString& fileRow, const SearchRequest& request);
/**
 * The columns a CatalogueFile is read from (catalogueFileOf), over infoMP3 as i joined to
 * reports as r; the directory is the one whose file range holds the file, then the file's
 * duration in milliseconds (NULL for a file stored without technical fields), and last the
 * listing's location and category (NULL when the user gave none).
 */
QString sqlCatalogueFileColumns();
/**
 * Listing :rp_id's name, medium, location (NULL when none) and number of files; no row when it
 * is not stored.
 */
QString sqlListingSummary();
/** :count of listing :rp_id's files (sqlCatalogueFileColumns) from :offset on, by file number. */
QString sqlListingFilesPage();
/** The files whose key another file of the medium shares, by key, then listing order. */
QString sqlDuplicates(SearchMedium medium);
