#pragma once

#include <QString>
#include <QStringView>
#include <QVariantList>

#include <optional>

#include "db/db_connection.h"

// The program's one database: the file quillet.mdb in the program directory, or the server
// config.ini names, its connection and the shared result set, from start-up to shutdown.

inline constexpr QStringView kBdFileName = u"quillet.mdb";
inline constexpr QStringView kBdTemplateName = u"bd-acces2k.blank";
inline constexpr QStringView kBdBackupName = u"quillet.bakup.mdb";

/** Full path of quillet.mdb; set by OpenBd; empty when the catalogue is on a server. */
QString BdPath();
/** The cadcon value of config.ini that OpenBd connected with. */
QString BdConnectionPrefix();

/** The connection string OpenBd connected with, for connections of other threads. */
QString BdConnectionString();

/**
 * The connection string of the catalogue config.ini names, as OpenBd would connect with it,
 * read without opening or making anything.
 */
QString ConfiguredBdConnectionString();

/**
 * The first of the catalogue's three tables the open connection lacks; empty when it has them
 * all.
 */
QString missingCatalogueTable(const DbConnection& connection);
/** The text that says the database is not a catalogue, naming the table it lacks. */
QString notACatalogueText(const QString& database, const QString& table);

/** The one connection; closed until OpenBd succeeds. */
DbConnection& BdConnection();

/**
 * Runs sql on the program's connection with values bound in order, its rows read forward only;
 * nothing, with reason set (and the failure noted on the connection), when it fails.
 */
std::optional<QSqlQuery> BdBoundQuery(const QString& sql, const QVariantList& values,
                                      QString& reason);
/**
 * The shared result set. Whoever uses it closes it, if open, before opening a query in it,
 * and closes it after use.
 */
DbRecordset& BdRecordset();

/**
 * Opens the database, copying the blank template first when the file is missing (a database
 * another program creates meanwhile is used as it is). Every step goes to the log. Returns empty
 * text on success; otherwise the text the user must be shown, already logged, and the connection
 * stays closed.
 */
[[nodiscard]] QString OpenBd();

/**
 * Puts a copy of the blank template at BdPath; an existing database is first copied to
 * quillet.bakup.mdb (and kept when that copy fails). Empty text on success, else the reason,
 * already logged.
 */
[[nodiscard]] QString NewBlankBd();

/**
 * The database steps of start-up: OpenBd, then NewBlankBd when quillet.mdb is still missing.
 * Empty text on success; otherwise the reason, already logged.
 */
[[nodiscard]] QString OpenBdAtStartUp();

/** Closes the shared result set and the connection, whatever their state, logging each step. */
void CloseBd();
