#include "web/web_request_target.h"

#include <QStringDecoder>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

// The bytes a percent-encoded text stands for, as text; nothing when they are not UTF-8 or hold
// a NUL, which no page could take as a name or a number.
std::optional<QString> decodedText(QByteArrayView encoded) {
  const QByteArray bytes = QByteArray::fromPercentEncoding(encoded.toByteArray());
  if (bytes.contains('\0')) {
    return std::nullopt;
  }
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = decoder.decode(bytes);
  if (decoder.hasError()) {
    return std::nullopt;
  }
  return text;
}

}  // namespace

RequestTarget parseTarget(const QByteArray& raw, int maxQueryCharacters) {
  RequestTarget target;
  const qsizetype mark = raw.indexOf('?');
  const QByteArray rawPath = raw.left(mark < 0 ? raw.size() : mark);
  // A form sends its spaces as '+'; made "%20" before decoding, so a '+' the user typed (sent as
  // "%2B") stays a '+'.
  QByteArray rawQuery = mark < 0 ? QByteArray() : raw.mid(mark + 1);
  rawQuery.replace('+', "%20");
  const std::optional<QString> path = decodedText(rawPath);
  const std::optional<QString> query = decodedText(rawQuery);
  if (!path || !query) {
    target.error = u"La dirección lleva caracteres que no son texto válido."_s;
  } else if (query->size() > maxQueryCharacters) {
    target.error =
        u"La consulta es demasiado larga: como mucho %1 caracteres."_s.arg(maxQueryCharacters);
  } else if (!rawPath.startsWith('/')) {
    target.error = u"La dirección no es una ruta de este servidor."_s;
  } else {
    target.path = *path;
    target.query = QUrlQuery(QString::fromUtf8(rawQuery));
  }
  return target;
}

QByteArray targetWithout(const RequestTarget& target, const QString& parameter) {
  QUrlQuery kept = target.query;
  kept.removeAllQueryItems(parameter);
  QUrl url;
  url.setPath(target.path, QUrl::DecodedMode);
  url.setQuery(kept);
  return url.toEncoded();
}
