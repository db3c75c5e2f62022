#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// The server's folding (quillet_fold), which must agree with foldText character for character.
// The server does what it does fast: the canonical decomposition (normalize), dropping the
// marks foldText drops, and lower() under a collation of its own; whatever its lower() makes
// differently from foldText is then mended by one translate() over those few characters. The
// program asks the server how its lower() cases every character when it writes the function,
// so the agreement holds for that server's tables.

/**
 * The statements that create quillet_fold on the database; empty, with the reason, when the
 * server's answers cannot be read.
 */
QStringList sqlServerFoldFunctions(QSqlDatabase& db, QString& reason);

/** Every character QString::trimmed takes off a text. */
QString programSpaces();

/** A text as an SQL string literal. */
QString sqlLiteral(const QString& text);
