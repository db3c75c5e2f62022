#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <functional>
#include <memory>
#include <optional>

#include "web/web_exchange.h"
#include "web/web_host_check.h"
#include "web/web_key_guard.h"
#include "web/web_rate_limit.h"
#include "web/web_request_target.h"

// What stands between a browser and the pages: the method, the Host header, the pace of each
// address, the target's text and the key, in that order. Whatever it answers carries the
// headers that keep a browser from running or leaking anything of ours.

/** The cookie that carries a browser's session once it has shown the key. */
inline constexpr char kSessionCookie[] = "quillet_sesion";

/** A request as it arrived, before any check. */
struct IncomingRequest {
  QByteArray method;
  QByteArray rawTarget;      // as sent: "/buscar?q=a+b"
  QByteArray host;           // the Host header, empty when absent
  QByteArray sessionCookie;  // the session cookie's value, empty when absent
  QHostAddress peer;
};

/** How fast one address may ask, and how many wrong keys it may offer before it waits. */
struct GuardLimits {
  double requestsPerSecond = 20;
  double requestBurst = 40;
  int keyAttempts = 5;
  int lockoutSeconds = 60;
};

class WebGate {
 public:
  using Handler = std::function<WebResponse(const WebRequest&)>;

  /** An empty key leaves the catalogue open without one. */
  WebGate(const QByteArray& key, const GuardLimits& limits, HostCheck hosts, Handler handler);

  /** The answer to a request, and in logged the target as a log line may show it. */
  WebResponse answer(const IncomingRequest& incoming, QByteArray& logged);

 private:
  WebResponse checkedAnswer(const IncomingRequest& incoming, QByteArray& logged);
  std::optional<WebResponse> keyAnswer(const IncomingRequest& incoming,
                                       const RequestTarget& target);
  WebResponse pageAnswer(const IncomingRequest& incoming, const RequestTarget& target);

  HostCheck hosts_;
  Handler handler_;
  RateLimit pace_;
  std::unique_ptr<KeyGuard> keyGuard_;  // none when no key is needed
};

/** The log line of one answered request. */
QString requestLogLine(const QHostAddress& peer, const QByteArray& target, int status,
                       qint64 milliseconds);
