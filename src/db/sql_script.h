#pragma once

#include <QString>
#include <QStringList>

/**
 * The statements of an SQL script, one per entry: comment lines and blank lines left out, a
 * trigger whole up to its "END;".
 */
QStringList scriptStatements(const QString& script);

/** The statements of a script compiled into the program (":/name.sql"); none when missing. */
QStringList resourceScriptStatements(const QString& resource);
