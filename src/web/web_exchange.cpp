#include "web/web_exchange.h"

QString queryValue(const WebRequest& request, const QString& name) {
  return request.query.queryItemValue(name, QUrl::FullyDecoded);
}
