#include <QStringList>

#include "output/table_export.h"
#include "search/search_names.h"
#include "stats/collection_stats.h"
#include "stats/stats_format.h"
#include "stats/stats_sources.h"
#include "web/web_file_html.h"
#include "web/web_html.h"
#include "web/web_json.h"
#include "web/web_pages.h"
#include "web/web_params.h"

using namespace Qt::StringLiterals;

namespace {

QString option(const QString& value, const QString& label, bool chosen) {
  return u"<option value=\"%1\"%2>%3</option>"_s.arg(
      htmlText(value), chosen ? u" selected"_s : QString(), htmlText(label));
}

// The search window's choices: the text, the field and the medium.
QString searchForm(const QString& text, SearchField field, SearchMedium medium) {
  QString fields;
  const QStringList names = searchFieldNames();
  const QStringList labels = searchFieldLabels();
  for (qsizetype i = 0; i < names.size(); ++i) {
    fields += option(names[i], labels[i], searchFieldNamed(names[i]) == field);
  }
  QString media;
  for (const SearchMedium each :
       {SearchMedium::Todos, SearchMedium::CDs, SearchMedium::Directorios}) {
    const QString label = each == SearchMedium::Todos ? u"Todos"_s
                          : each == SearchMedium::CDs ? u"CD"_s
                                                      : u"DIR"_s;
    media += option(searchMediumName(each), label, each == medium);
  }
  return u"<form class=\"buscar\" action=\"/buscar\" method=\"get\"><input type=\"search\" "
         u"name=\"q\" value=\"%1\" placeholder=\"Texto a buscar\" aria-label=\"Texto a buscar\">"
         u"<label>en <select name=\"en\">%2</select></label><label>medio <select "
         u"name=\"medio\">%3</select></label><button type=\"submit\">Buscar</button></form>"_s.arg(
             htmlText(text), fields, media);
}

// A parameter's fault, as the page or the JSON answer says it.
WebResponse badRequest(bool json, const QString& error) {
  return json ? jsonError(400, error) : errorPage(400, error);
}

WebResponse unavailable(bool json, const QString& error) {
  return json ? jsonError(503, error) : errorPage(503, error);
}

QString countText(qint64 files, int listings) {
  return u"%1 %2 en %3 %4"_s.arg(spanishNumber(files), files == 1 ? u"archivo"_s : u"archivos"_s,
                                 spanishNumber(listings),
                                 listings == 1 ? u"listado"_s : u"listados"_s);
}

}  // namespace

WebResponse homePage(const WebRequest&) {
  QString error;
  // The kept totals only: every artist and album of a large catalogue is too much per visit.
  const TagCounts counts = totalsOfCatalogue(error);
  if (!error.isEmpty()) {
    return errorPage(503, error);
  }
  return htmlResponse(u"Catálogo"_s, u"<h1>Buscar en el catálogo</h1>"_s +
                                         searchForm({}, SearchField::Todo, SearchMedium::Todos) +
                                         countsHtml(counts));
}

WebResponse searchPage(const WebRequest& request, bool json) {
  QString error;
  const std::optional<SearchField> field = fieldParameter(request, error);
  const std::optional<SearchMedium> medium = mediumParameter(request, error);
  const std::optional<qint64> page = pageParameter(request, error);
  if (!field || !medium || !page) {
    return badRequest(json, error);
  }
  const QString text = queryValue(request, u"q"_s);
  SearchResult result;
  if (!text.trimmed().isEmpty()) {
    // Only the page's files are read whole; the rest are counted.
    result =
        searchCatalogue({text, *field, *medium, 0, (*page - 1) * kFilesPerPage, kFilesPerPage});
  }
  if (!result.error.isEmpty()) {
    return unavailable(json, result.error);
  }
  const qint64 total = result.total;
  const qint64 pages = pageCount(total, kFilesPerPage);
  if (!pageInRange(*page, pages, error)) {
    return badRequest(json, error);
  }
  const std::vector<CatalogueFile>& shown = result.files;
  if (json) {
    return jsonResponse(pagedFilesJson({{"q", jsonString(text)}}, total, *page, pages, shown));
  }
  const std::vector<LinkParameter> parameters = {{u"q"_s, text},
                                                 {u"en"_s, queryValue(request, u"en"_s)},
                                                 {u"medio"_s, searchMediumName(*medium)}};
  const QString pager = pagerHtml(u"/buscar"_s, parameters, *page, pages);
  const QString found =
      text.trimmed().isEmpty()
          ? u"<p>Escriba el texto que busca.</p>"_s
          : u"<p class=\"cuenta\">%1</p>"_s.arg(countText(total, result.listings));
  return htmlResponse(u"Buscar: "_s + text, u"<h1>Buscar en el catálogo</h1>"_s +
                                                searchForm(text, *field, *medium) + found + pager +
                                                filesByListing(shown) + pager);
}

WebResponse duplicatesPage(const WebRequest& request) {
  QString error;
  const std::optional<SearchMedium> medium = mediumParameter(request, error);
  const std::optional<qint64> page = pageParameter(request, error);
  if (!medium || !page) {
    return errorPage(400, error);
  }
  const DuplicatesResult result = findDuplicates(*medium);
  if (!result.error.isEmpty()) {
    return errorPage(503, result.error);
  }
  const auto groups = static_cast<qint64>(result.groups.size());
  const qint64 pages = pageCount(groups, kFilesPerPage);
  if (!pageInRange(*page, pages, error)) {
    return errorPage(400, error);
  }
  QString html = u"<h1>Archivos repetidos</h1><p class=\"cuenta\">%1 %2</p>"_s.arg(
      spanishNumber(groups), groups == 1 ? u"archivo repetido"_s : u"archivos repetidos"_s);
  const QString pager =
      pagerHtml(u"/duplicados"_s, {{u"medio"_s, searchMediumName(*medium)}}, *page, pages);
  html += pager;
  const qint64 last = std::min(groups, *page * kFilesPerPage);
  for (qint64 group = (*page - 1) * kFilesPerPage; group < last; ++group) {
    html += u"<section class=\"repetido\">"_s +
            filesByListing(result.groups[static_cast<std::size_t>(group)].copies) + u"</section>"_s;
  }
  return htmlResponse(u"Duplicados"_s, html + pager);
}
