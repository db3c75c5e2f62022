#pragma once

#include <QString>

#include <optional>

#include "search/catalogue_search.h"
#include "web/web_exchange.h"

// The pages' parameters read from a request: each one valid, or the reason it is not (a 400).

/** "pagina": 1 when absent, else a whole number from 1 on; nothing, with error set, otherwise. */
std::optional<qint64> pageParameter(const WebRequest& request, QString& error);
/** Whether page exists among pages (a result of nothing has its one, empty page). */
bool pageInRange(qint64 page, qint64 pages, QString& error);
/** How many pages of perPage rows count rows fill; one at least. */
qint64 pageCount(qint64 rows, int perPage);

/** "en": every field when absent or empty, else one of the search's field names. */
std::optional<SearchField> fieldParameter(const WebRequest& request, QString& error);
/** "medio": every medium when absent, empty or "todos", else "cd" or "dir". */
std::optional<SearchMedium> mediumParameter(const WebRequest& request, QString& error);
/** The medium's parameter value: "", "cd" or "dir". */
QString mediumValue(SearchMedium medium);

/** The listing number a path's last piece gives ("/listado/12"); nothing unless a number. */
std::optional<int> listingNumberOf(const QString& piece, QString& error);
