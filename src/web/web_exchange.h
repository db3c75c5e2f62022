#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrlQuery>

// One request of a browser and the answer to it, as the HTTP server hands them to the pages and
// takes them back. The server has already checked the method, the host, the key and the limits;
// the pages see only what they render.

struct WebRequest {
  QByteArray method;  // "GET" or "HEAD"
  QString path;       // decoded, without the query: "/buscar", "/listado/12"
  QUrlQuery query;    // decoded parameters; a parameter given twice keeps both
  QString peer;       // the browser's address, for the log only
};

struct WebResponse {
  int status = 200;
  QByteArray contentType = "text/html; charset=utf-8";
  QByteArray body;
  QList<QPair<QByteArray, QByteArray>> headers;  // beyond the ones every answer carries
};

/** The value of parameter name, or an empty text when it is absent. */
QString queryValue(const WebRequest& request, const QString& name);
