#include "base/text_helpers.h"
#include "output/listing_table.h"
#include "output/table_export.h"
#include "search/listing_page.h"
#include "stats/stats_format.h"
#include "web/web_file_html.h"
#include "web/web_html.h"
#include "web/web_json.h"
#include "web/web_pages.h"
#include "web/web_params.h"

using namespace Qt::StringLiterals;

namespace {

// The page's files under their directories; a directory that runs on from the page before
// is named again.
QString filesByDirectory(const std::vector<CatalogueFile>& files) {
  QString html;
  for (auto file = files.cbegin(); file != files.cend();) {
    const QString directory = file->dirname;
    html += u"<section class=\"carpeta\"><h3>%1</h3><ol class=\"archivos\" start=\"%2\">"_s
                .arg(storedText(directory))
                .arg(file->filegenorder);
    for (; file != files.cend() && file->dirname == directory; ++file) {
      html += fileItem(*file, false);
    }
    html += u"</ol></section>"_s;
  }
  return html;
}

}  // namespace

WebResponse listingPage(const WebRequest& request, const QString& number, bool json) {
  QString error;
  const std::optional<int> rpId = listingNumberOf(number, error);
  const std::optional<qint64> page = rpId ? pageParameter(request, error) : std::nullopt;
  if (!page) {
    return json ? jsonError(400, error) : errorPage(400, error);
  }
  const ListingPage listing = readListingPage(*rpId, (*page - 1) * kFilesPerPage, kFilesPerPage);
  if (!listing.error.isEmpty()) {
    return json ? jsonError(503, listing.error) : errorPage(503, listing.error);
  }
  if (!listing.stored) {
    const QString missing = u"No hay ningún listado con el número %1"_s.arg(*rpId);
    return json ? jsonError(404, missing) : errorPage(404, missing);
  }
  const qint64 pages = pageCount(listing.files, kFilesPerPage);
  if (!pageInRange(*page, pages, error)) {
    return json ? jsonError(400, error) : errorPage(400, error);
  }
  if (json) {
    return jsonResponse(pagedFilesJson({{"num_listado", QByteArray::number(*rpId)},
                                        {"listado", jsonString(AcuteToQuote(listing.name))},
                                        {"medio", jsonString(mediumText(listing.medio))},
                                        {"ubicacion", jsonString(listing.ubicacion)}},
                                       listing.files, *page, pages, listing.page));
  }
  const QString pager = pagerHtml(u"/listado/%1"_s.arg(*rpId), {}, *page, pages);
  return htmlResponse(u"Listado %1"_s.arg(*rpId),
                      u"<h1>Listado</h1>"_s +
                          listingHeading(*rpId, listing.name, listing.ubicacion) +
                          u"<p class=\"cuenta\">%1 · %2 archivos</p>"_s.arg(
                              htmlText(mediumText(listing.medio)), spanishNumber(listing.files)) +
                          pager + filesByDirectory(listing.page) + pager);
}
