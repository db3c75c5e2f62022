#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

class QSqlQuery;

// What the side tables' readers and writers share about a prepared statement on the program's
// database.

/** Binds values in order and runs the prepared query. */
bool execBound(QSqlQuery& query, const QVariantList& values);

/** Null for an empty text, so an unknown or cleared value never equals another one. */
QVariant textOrNull(const QString& text);

/** Why the query failed, noted on the program's connection (a lost one is opened again). */
QString reasonOfBdQuery(const QSqlQuery& query);
