#include <QFile>

#include "stats/collection_stats.h"
#include "stats/stats_chart_drawing.h"
#include "stats/stats_format.h"
#include "stats/stats_sources.h"
#include "web/web_file_html.h"
#include "web/web_html.h"
#include "web/web_pages.h"
#include "web/web_params.h"

using namespace Qt::StringLiterals;

namespace {

QString healthHtml(const CollectionStats& stats) {
  QString html = u"<h2>Salud de las etiquetas</h2><dl class=\"totales\">"_s;
  for (std::size_t i = 0; i < kHealthChecks.size(); ++i) {
    html += u"<dt>%1</dt><dd>%2 (%3)</dd>"_s.arg(htmlText(healthText(kHealthChecks[i])),
                                                 spanishNumber(stats.health[i]),
                                                 spanishShare(stats.health[i], stats.files));
  }
  return html + u"</dl>"_s;
}

}  // namespace

WebResponse statsPage(const WebRequest& request) {
  QString error;
  const std::optional<SearchMedium> medium = mediumParameter(request, error);
  if (!medium) {
    return errorPage(400, error);
  }
  const TagCounts counts = countsOfCatalogue({*medium, std::nullopt}, error);
  if (!error.isEmpty()) {
    return errorPage(503, error);
  }
  const CollectionStats stats = collectionStats(counts);
  QString charts;
  for (const NamedChart& chart : chartsOf(stats)) {
    charts +=
        u"<figure>"_s + QString::fromUtf8(chartSvg(chart.title, *chart.bars)) + u"</figure>"_s;
  }
  return htmlResponse(u"Estadísticas"_s,
                      u"<h1>Estadísticas</h1>"_s + totalsHtml(stats) + healthHtml(stats) + charts);
}

WebResponse styleSheet() {
  QFile sheet(u":/web/estilo.css"_s);
  WebResponse response;
  response.contentType = "text/css; charset=utf-8";
  if (!sheet.open(QIODevice::ReadOnly)) {
    response.status = 404;
    return response;
  }
  response.body = sheet.readAll();
  return response;
}
