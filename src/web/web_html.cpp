#include "web/web_html.h"

#include <QUrl>

#include "output/table_export.h"

using namespace Qt::StringLiterals;

namespace {

QString navigation() {
  return u"<header><nav><a href=\"/\">Buscar</a> <a href=\"/duplicados\">Duplicados</a> "
         u"<a href=\"/estadisticas\">Estadísticas</a></nav></header>"_s;
}

QString statusTitle(int status) {
  switch (status) {
    case 400:
      return u"Petición no válida"_s;
    case 404:
      return u"No encontrado"_s;
    case 503:
      return u"Catálogo no disponible"_s;
    default:
      return u"Error"_s;
  }
}

}  // namespace

QString htmlText(const QString& text) {
  QString escaped = text.toHtmlEscaped();
  return escaped.replace(u'\'', u"&#39;"_s);
}

QString linkTo(const QString& path, const std::vector<LinkParameter>& parameters) {
  QStringList items;
  for (const auto& [name, value] : parameters) {
    if (!value.isEmpty()) {
      items.append(name + u'=' + QString::fromLatin1(QUrl::toPercentEncoding(value)));
    }
  }
  return items.isEmpty() ? path : path + u'?' + items.join(u'&');
}

QString htmlLink(const QString& url, const QString& text) {
  return u"<a href=\"%1\">%2</a>"_s.arg(htmlText(url), htmlText(text));
}

QByteArray pageBytes(const QString& title, const QString& body) {
  return (u"<!DOCTYPE html>\n<html lang=\"es\"><head><meta charset=\"utf-8\">"
          u"<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
          u"<title>"_s +
          htmlText(title) +
          u" · Quillet</title><link rel=\"stylesheet\" href=\"/estilo.css\"></head><body>"_s +
          navigation() + u"<main>"_s + body + u"</main></body></html>\n"_s)
      .toUtf8();
}

WebResponse htmlResponse(const QString& title, const QString& body, int status) {
  WebResponse response;
  response.status = status;
  response.body = pageBytes(title, body);
  return response;
}

WebResponse errorPage(int status, const QString& message) {
  const QString title = statusTitle(status);
  return htmlResponse(
      title, u"<h1>%1</h1><p class=\"error\">%2</p>"_s.arg(htmlText(title), htmlText(message)),
      status);
}

WebResponse jsonError(int status, const QString& message) {
  WebResponse response = jsonResponse("{\"error\": " + jsonString(message) + "}\n");
  response.status = status;
  return response;
}

WebResponse jsonResponse(const QByteArray& body) {
  WebResponse response;
  response.contentType = "application/json; charset=utf-8";
  response.body = body;
  return response;
}

QString pagerHtml(const QString& path, const std::vector<LinkParameter>& parameters, qint64 page,
                  qint64 pages) {
  if (pages <= 1) {
    return {};
  }
  const auto linkToPage = [&](qint64 target, const QString& text) {
    std::vector<LinkParameter> all = parameters;
    all.emplace_back(u"pagina"_s, QString::number(target));
    return htmlLink(linkTo(path, all), text);
  };
  QStringList parts;
  if (page > 1) {
    parts << linkToPage(1, u"« Primera"_s) << linkToPage(page - 1, u"‹ Anterior"_s);
  }
  parts << u"<span>Página %1 de %2</span>"_s.arg(page).arg(pages);
  if (page < pages) {
    parts << linkToPage(page + 1, u"Siguiente ›"_s) << linkToPage(pages, u"Última »"_s);
  }
  return u"<nav class=\"paginas\">"_s + parts.join(u' ') + u"</nav>"_s;
}
