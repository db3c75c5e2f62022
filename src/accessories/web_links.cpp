#include "accessories/web_links.h"

#include "base/app_info.h"

using namespace Qt::StringLiterals;

QString AuthorSiteAddress() {
  return u"https://example.org/autor"_s;
}

QString MakerSiteAddress() {
  return u"https://example.org/quillet"_s;
}

QString AuthorMailLink() {
  return u"mailto:autor@example.org"_s;
}

QString MailLinkWithSubject(const QString& mailLink) {
  return mailLink + u"?subject=mensaje enviado desde "_s + AppTitle();
}
