#pragma once

#include <QString>
#include <QStringList>

/**
 * The pieces every match must hold, folded: each word of the query, and each part in double
 * quotes as written (an unclosed quote runs to the end). Nothing the user types is syntax.
 */
QStringList queryPieces(const QString& query);
