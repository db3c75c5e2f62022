#pragma once

#include <QString>

// The connection string of config.ini: "Provider=QSQLITE; Data Source=/path/quillet.mdb", and
// what can be said of it before any connection is tried.

/** What a connection string names: "Provider=QSQLITE; Data Source=/path/quillet.mdb". */
struct ConnectionParts {
  QString provider;    // a Qt SQL driver name
  QString dataSource;  // the database file
  QString options;     // every other item, handed to the driver as its connect options
};

/**
 * Splits a connection string into its items. The data source runs to the end of the string
 * (the program always appends it last), so a path may hold ';' or '='; a ';' that ends the
 * string ends the item, as it ends any other.
 */
ConnectionParts parseConnectionString(const QString& text);

/**
 * The same database as connectionString, named so that a connection opened with it only reads:
 * the engine's read-only options added (DbEngine::readOnlyOptions).
 */
QString readOnlyConnectionString(const QString& connectionString);

/**
 * Why no connection can be made with provider (none named, not a Qt SQL driver, not
 * installed), in Spanish; empty when one can be tried.
 */
QString providerProblem(const QString& provider);
