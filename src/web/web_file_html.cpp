#include "web/web_file_html.h"

#include <QStringList>

#include <algorithm>

#include "base/text_helpers.h"
#include "listing/technical_texts.h"
#include "stats/stats_format.h"
#include "web/web_html.h"

using namespace Qt::StringLiterals;

namespace {

QString span(const QString& kind, const QString& text) {
  return text.isEmpty() ? QString() : u"<span class=\"%1\">%2</span>"_s.arg(kind, storedText(text));
}

QString totalsList(const QList<QPair<QString, qint64>>& totals) {
  QString html = u"<dl class=\"totales\">"_s;
  for (const auto& [name, count] : totals) {
    html += u"<dt>%1</dt><dd>%2</dd>"_s.arg(name, spanishNumber(count));
  }
  return html + u"</dl>"_s;
}

}  // namespace

QString storedText(const QString& text) {
  return htmlText(AcuteToQuote(text));
}

QString listingHeading(int rpId, const QString& name, const QString& ubicacion) {
  QString heading =
      u"<h2>"_s +
      htmlLink(u"/listado/%1"_s.arg(rpId), u"%1 · %2"_s.arg(rpId).arg(AcuteToQuote(name))) +
      u"</h2>"_s;
  if (!ubicacion.isEmpty()) {
    heading += u"<p class=\"ubicacion\">Ubicación: "_s + storedText(ubicacion) + u"</p>"_s;
  }
  return heading;
}

QString fileItem(const CatalogueFile& file, bool withPlace) {
  QString item = u"<li>"_s;
  if (withPlace) {
    item += span(u"directorio"_s, file.dirname);
  }
  item += span(u"archivo"_s, file.filename) + span(u"artista"_s, file.artist) +
          span(u"titulo"_s, file.title) + span(u"album"_s, file.album) + span(u"anyo"_s, file.year);
  if (file.durationMs) {
    item += span(u"duracion"_s, durationText(*file.durationMs));
  }
  return item + u"</li>"_s;
}

QString filesByListing(const std::vector<CatalogueFile>& files) {
  QString html;
  for (auto file = files.cbegin(); file != files.cend();) {
    html += u"<section class=\"disco\">"_s +
            listingHeading(file->rp_id, file->report_name, file->ubicacion) +
            u"<ul class=\"archivos\">"_s;
    const int rpId = file->rp_id;
    for (; file != files.cend() && file->rp_id == rpId; ++file) {
      html += fileItem(*file, true);
    }
    html += u"</ul></section>"_s;
  }
  return html;
}

QString totalsHtml(const CollectionStats& stats) {
  return totalsList({{u"Listados"_s, stats.listings.value_or(0)},
                     {u"Directorios"_s, stats.directories},
                     {u"Archivos"_s, stats.files},
                     {u"Artistas"_s, stats.artists},
                     {u"Álbumes"_s, stats.albums}});
}

QString countsHtml(const TagCounts& counts) {
  return totalsList({{u"Listados"_s, counts.listings.value_or(0)},
                     {u"Directorios"_s, counts.directories},
                     {u"Archivos"_s, counts.files}});
}
