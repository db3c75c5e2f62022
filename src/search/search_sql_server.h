#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include "search/catalogue_search.h"

// Every statement of the search on a database server (PostgreSQL): the folded texts of each
// stored file in a table the server's own triggers keep, whoever writes the catalogue, found
// through groups of files whose texts pg_trgm's trigram index and, for two-letter pieces, an
// index of their letter pairs answer. The server folds with a function the program writes from
// its own folding, so both engines find the same files.

/**
 * The statements that create the search objects on a database that has the catalogue tables,
 * and index what it already holds; the trigram index only when pg_trgm is there. Empty, with
 * the reason, when the server's folding cannot be written.
 */
QStringList sqlCreateServerSearch(QSqlDatabase& db, bool trigramIndex, QString& reason);

/**
 * Statement triggers after each insert, update and delete on table, named prefix_table_event
 * and made again: an insert runs onInsert, the others onChange (function names), each given
 * the statement's rows as new_rows and old_rows.
 */
QStringList sqlStatementTriggers(const QString& prefix, const QString& table,
                                 const QString& onInsert, const QString& onChange);

/** A statement with its values, in the order of its "?" placeholders. */
struct BoundStatement {
  QString sql;
  QVariantList values;
};

/**
 * The files whose chosen folded texts hold each of the (folded) pieces, in listing order, as
 * sqlFoundFiles reads them for the request's limit (0 for every file) and page.
 */
BoundStatement sqlServerSearch(const SearchRequest& request, const QStringList& pieces);
/** The files whose key another file of the medium shares, by key, then listing order. */
QString sqlServerDuplicates(SearchMedium medium);
