#pragma once

#include <QHostAddress>
#include <QMutex>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

#include "web/web_exchange.h"
#include "web/web_gate.h"

struct WebServerOptions {
  QHostAddress address{QHostAddress::LocalHost};
  quint16 port = 8642;  // 0: a free port, as tests and benchmarks ask
  QString key;          // given; empty: made when the address needs one
  GuardLimits limits;
};

// The catalogue's read-only HTTP server: libmicrohttpd with a small pool of threads, and our
// guards (web_gate.h) in front of the pages.
class WebServer {
 public:
  /** Called on the server's threads, several at once: must be thread-safe. */
  using Handler = std::function<WebResponse(const WebRequest&)>;

  WebServer(WebServerOptions options, Handler handler);
  ~WebServer();
  WebServer(const WebServer&) = delete;
  WebServer& operator=(const WebServer&) = delete;

  /** Starts listening; false with a Spanish reason (port taken, address not ours...). */
  bool start(QString& error);
  /** Returns once no handler runs any more. */
  void stop();
  bool isRunning() const;

  /** Ready to open: with ?clave=... when a key is needed. */
  QString url() const;
  /** Empty on loopback when no key was given. */
  QString key() const;
  /** The port listened on (the one chosen by the system when 0 was asked). */
  quint16 port() const;
  /** Thread-safe. */
  quint64 requestsServed() const;
  /** One line per request: time, address, path without the key, status, milliseconds. */
  void setLogSink(std::function<void(const QString&)> sink);

 private:
  struct Running;
  void log(const QString& line);

  WebServerOptions options_;
  Handler handler_;
  QString key_;
  quint16 port_ = 0;
  std::atomic<quint64> served_{0};
  QMutex logMutex_;
  std::function<void(const QString&)> logSink_;
  std::unique_ptr<Running> running_;
};
