#include "web/web_error_page.h"

using namespace Qt::StringLiterals;

WebResponse errorPage(int status, const QString& title, const QString& detail) {
  const QString html =
      u"<!DOCTYPE html>\n<html lang=\"es\"><head><meta charset=\"utf-8\">"
      u"<meta name=\"viewport\" content=\"width=device-width\">"
      u"<title>%1</title></head>\n<body><h1>%1</h1><p>%2</p></body></html>\n"_s.arg(
          title.toHtmlEscaped(), detail.toHtmlEscaped());
  WebResponse response;
  response.status = status;
  response.body = html.toUtf8();
  return response;
}
