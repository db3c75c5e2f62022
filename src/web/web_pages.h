#pragma once

#include <QString>

#include "web/web_exchange.h"

// The pages, each read on the calling thread's search connection (searchConnection()), which
// the caller has opened read-only. Every text they show is escaped.

inline constexpr int kFilesPerPage = 50;

/** "/": the search form and the catalogue's totals. */
WebResponse homePage(const WebRequest& request);
/** "/buscar" and, as JSON, "/api/buscar". */
WebResponse searchPage(const WebRequest& request, bool json);
/** "/duplicados". */
WebResponse duplicatesPage(const WebRequest& request);
/** "/listado/N" and, as JSON, "/api/listado/N"; number is the path's last piece. */
WebResponse listingPage(const WebRequest& request, const QString& number, bool json);
/** "/estadisticas": the figures, the tags' health and the three charts. */
WebResponse statsPage(const WebRequest& request);
/** "/estilo.css", from the program's resources. */
WebResponse styleSheet();
