#pragma once

#include <QSqlError>
#include <QString>

// How a database failure reaches the user: one Spanish line chosen by the failure's code, with
// the database's own words after it, cut to their first line (a server's message runs on with
// its detail, hint and position lines, indented by tabs).

/**
 * The failure in one line: what its code means, in Spanish, with the database's first line in
 * brackets; the database's first line alone when the failure carries no code.
 */
QString reasonOf(const QSqlError& error);
