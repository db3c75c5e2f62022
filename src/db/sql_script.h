#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

/**
 * The statements of an SQL script, one per entry: comment lines and blank lines left out, a
 * trigger whole up to its "END;".
 */
QStringList scriptStatements(const QString& script);

/** The statements of a script compiled into the program (":/name.sql"); none when missing. */
QStringList resourceScriptStatements(const QString& resource);

/** Whether the file's own schema (not a connection's stand-in) has the table. */
bool fileHasTable(QSqlDatabase& db, const QString& table);

/**
 * Runs a compiled-in script's statements on db, its PRAGMA lines left to the caller; empty text,
 * else the reason (missingText when the script is not in the program).
 */
QString runScriptObjects(QSqlDatabase& db, const QString& resource, const QString& missingText);

/** A compiled-in script's statements; none, with reason set to missingText, when it is missing. */
QStringList requiredScriptStatements(const QString& resource, const QString& missingText,
                                     QString& reason);
