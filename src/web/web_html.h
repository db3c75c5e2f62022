#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

#include "web/web_exchange.h"

// The pieces every page is made of: escaped texts, the page around a body, the links between
// pages, the error pages. Nothing here writes a text unescaped.

/** text as HTML, every character that could open markup or end an attribute escaped. */
QString htmlText(const QString& text);

/** A parameter of a link: its name and its value, as typed. */
using LinkParameter = std::pair<QString, QString>;
/** path with its parameters percent-encoded (a '+' stays a '+'), the empty ones left out. */
QString linkTo(const QString& path, const std::vector<LinkParameter>& parameters);
/** <a href="...">text</a>, both escaped. */
QString htmlLink(const QString& url, const QString& text);

/** A whole page: the title, the site's navigation, the style sheet, then body (HTML). */
QByteArray pageBytes(const QString& title, const QString& body);
WebResponse htmlResponse(const QString& title, const QString& body, int status = 200);
/** A page that says message, with the status; the message is escaped. */
WebResponse errorPage(int status, const QString& message);
/** {"error": message} with the status. */
WebResponse jsonError(int status, const QString& message);
WebResponse jsonResponse(const QByteArray& body);

/**
 * "Página K de P" with links to the first, previous, next and last pages; parameters are the
 * page's own, without the page number. Empty when there is one page only.
 */
QString pagerHtml(const QString& path, const std::vector<LinkParameter>& parameters, qint64 page,
                  qint64 pages);
