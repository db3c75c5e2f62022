#pragma once

#include <QByteArray>
#include <QString>
#include <QUrlQuery>

// The target of a request as the browser sent it ("/buscar?q=se%C3%B1or+de"), checked and
// decoded before any page sees it.

struct RequestTarget {
  QString path;     // percent-decoded, without the query
  QUrlQuery query;  // a form's '+' read as a space; '%2B', '%25' and '%26' as the characters
  QString error;    // why the target is refused (Spanish); empty when it is sound
};

/** Splits and decodes a raw target; sets error for invalid UTF-8, a NUL or a query too long. */
RequestTarget parseTarget(const QByteArray& raw, int maxQueryCharacters);

/** The target, encoded, without the given parameter: for a log line or a redirect that must
 *  not carry the key. */
QByteArray targetWithout(const RequestTarget& target, const QString& parameter);
