#include "web/web_gate.h"

#include <QDateTime>

#include "web/web_error_page.h"

using namespace Qt::StringLiterals;

namespace {

const QString kKeyParameter = u"clave"_s;
constexpr int kMaxQueryCharacters = 200;

bool isReadMethod(const QByteArray& method) {
  return method == "GET" || method == "HEAD";
}

void addStandardHeaders(WebResponse& response) {
  response.headers.emplaceBack("Content-Security-Policy",
                               "default-src 'none'; style-src 'self'; img-src 'self' data:");
  response.headers.emplaceBack("X-Content-Type-Options", "nosniff");
  response.headers.emplaceBack("Referrer-Policy", "no-referrer");
}

WebResponse withHeader(WebResponse response, const QByteArray& name, const QByteArray& value) {
  response.headers.emplaceBack(name, value);
  return response;
}

WebResponse tooManyRequests(int seconds, const QString& detail) {
  return withHeader(errorPage(429, u"Demasiadas peticiones"_s, detail), "Retry-After",
                    QByteArray::number(seconds));
}

// A refused target is logged by its path alone, escaped: its query may carry the key.
QByteArray loggedRawPath(const QByteArray& raw) {
  const qsizetype mark = raw.indexOf('?');
  return raw.left(mark < 0 ? raw.size() : mark).toPercentEncoding("/%");
}

WebResponse sessionOpened(const QByteArray& token, const RequestTarget& target) {
  WebResponse response;
  response.status = 303;
  response.headers.emplaceBack("Location", targetWithout(target, kKeyParameter));
  response.headers.emplaceBack("Set-Cookie", QByteArray(kSessionCookie) + '=' + token +
                                                 "; HttpOnly; SameSite=Strict; Path=/");
  return response;
}

}  // namespace

WebGate::WebGate(const QByteArray& key, const GuardLimits& limits, HostCheck hosts, Handler handler)
    : hosts_(std::move(hosts)),
      handler_(std::move(handler)),
      pace_(limits.requestsPerSecond, limits.requestBurst) {
  if (!key.isEmpty()) {
    keyGuard_ = std::make_unique<KeyGuard>(key, limits.keyAttempts, limits.lockoutSeconds);
  }
}

WebResponse WebGate::answer(const IncomingRequest& incoming, QByteArray& logged) {
  WebResponse response = checkedAnswer(incoming, logged);
  addStandardHeaders(response);
  return response;
}

WebResponse WebGate::checkedAnswer(const IncomingRequest& incoming, QByteArray& logged) {
  logged = loggedRawPath(incoming.rawTarget);
  if (!isReadMethod(incoming.method)) {
    return withHeader(errorPage(405, u"Método no permitido"_s,
                                u"Este catálogo solo se consulta: no admite cambios."_s),
                      "Allow", "GET, HEAD");
  }
  if (!hosts_.allows(incoming.host)) {
    return errorPage(421, u"Servidor equivocado"_s,
                     u"Esta dirección no es la de este catálogo; ábralo con la suya."_s);
  }
  if (!pace_.admit(incoming.peer)) {
    return tooManyRequests(1, u"Espere un momento antes de seguir."_s);
  }
  const RequestTarget target = parseTarget(incoming.rawTarget, kMaxQueryCharacters);
  if (!target.error.isEmpty()) {
    return errorPage(400, u"Petición no válida"_s, target.error);
  }
  logged = targetWithout(target, kKeyParameter);
  if (std::optional<WebResponse> refused = keyAnswer(incoming, target)) {
    return *refused;
  }
  return pageAnswer(incoming, target);
}

std::optional<WebResponse> WebGate::keyAnswer(const IncomingRequest& incoming,
                                              const RequestTarget& target) {
  if (!keyGuard_) {
    return std::nullopt;
  }
  if (const int seconds = keyGuard_->secondsLockedOut(incoming.peer); seconds > 0) {
    return tooManyRequests(seconds,
                           u"Demasiadas claves equivocadas: espere un minuto y vuelva a probar."_s);
  }
  if (target.query.hasQueryItem(kKeyParameter)) {
    const QString offered = target.query.queryItemValue(kKeyParameter, QUrl::FullyDecoded);
    const QByteArray token = keyGuard_->openSession(incoming.peer, offered.toUtf8());
    if (token.isEmpty()) {
      return errorPage(403, u"Clave equivocada"_s,
                       u"La clave no es la de este catálogo. Pida la dirección completa a quien "
                       u"lo comparte."_s);
    }
    return sessionOpened(token, target);
  }
  if (keyGuard_->hasSession(incoming.sessionCookie)) {
    return std::nullopt;
  }
  return errorPage(403, u"Hace falta la clave"_s,
                   u"Este catálogo se abre con la dirección completa, con su clave, que muestra "
                   u"quien lo comparte."_s);
}

WebResponse WebGate::pageAnswer(const IncomingRequest& incoming, const RequestTarget& target) {
  const WebRequest request{incoming.method, target.path, target.query, incoming.peer.toString()};
  try {
    return handler_(request);
  } catch (const std::exception&) {
    // A page that fails must not take the server's thread with it.
    return errorPage(500, u"Error interno"_s, u"La página no se pudo preparar."_s);
  }
}

QString requestLogLine(const QHostAddress& peer, const QByteArray& target, int status,
                       qint64 milliseconds) {
  return u"%1 %2 %3 %4 %5 ms"_s.arg(QDateTime::currentDateTime().toString(Qt::ISODate),
                                    peer.toString(), QString::fromLatin1(target),
                                    QString::number(status), QString::number(milliseconds));
}
