#include "web/web_server.h"

#include <microhttpd.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QHostInfo>
#include <QMutexLocker>
#include <QNetworkInterface>
#include <QThread>

#include <algorithm>

#include "web/web_host_check.h"
#include "web/web_listen_socket.h"
#include "web/web_secret.h"

using namespace Qt::StringLiterals;

namespace {

// A handful of threads answer every browser, so the pages keep one database connection per
// thread; the polling lets idle or half-open connections wait without holding a thread.
// One thread a core: a page is work for a core, and threads beyond the cores only share them,
// making each page wait longer; never more than a few connections to a server.
unsigned threadCount() {
  return static_cast<unsigned>(std::clamp(QThread::idealThreadCount(), 2, 8));
}
constexpr unsigned kConnections = 64;
constexpr unsigned kConnectionsPerAddress = 8;
constexpr unsigned kSecondsToSendRequest = 10;
constexpr size_t kBytesPerRequest = 8 * 1024;
constexpr int kKeyBytes = 18;

// What one request carries between libmicrohttpd's callbacks.
struct RequestState {
  QByteArray rawTarget;
  QElapsedTimer clock;
  bool answered = false;
};

QByteArray headerValue(MHD_Connection* connection, MHD_ValueKind kind, const char* name) {
  return QByteArray(MHD_lookup_connection_value(connection, kind, name));
}

// A browser reaching an IPv6 wildcard over IPv4 shows as ::ffff:a.b.c.d; it is a.b.c.d.
QHostAddress peerOf(MHD_Connection* connection) {
  const MHD_ConnectionInfo* info =
      MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
  const QHostAddress peer(info->client_addr);
  bool isIPv4 = false;
  const quint32 ipv4 = peer.toIPv4Address(&isIPv4);
  return isIPv4 ? QHostAddress(ipv4) : peer;
}

MHD_Result queueResponse(MHD_Connection* connection, const WebResponse& answer) {
  MHD_Response* response = MHD_create_response_from_buffer(
      static_cast<size_t>(answer.body.size()), const_cast<char*>(answer.body.constData()),
      MHD_RESPMEM_MUST_COPY);
  MHD_add_response_header(response, "Content-Type", answer.contentType.constData());
  for (const auto& [name, value] : answer.headers) {
    MHD_add_response_header(response, name.constData(), value.constData());
  }
  const MHD_Result result =
      MHD_queue_response(connection, static_cast<unsigned>(answer.status), response);
  MHD_destroy_response(response);
  return result;
}

void* rememberTarget(void*, const char* uri, MHD_Connection*) {
  auto* state = new RequestState{QByteArray(uri), {}, false};
  state->clock.start();
  return state;
}

void forgetRequest(void*, MHD_Connection*, void** state, MHD_RequestTerminationCode) {
  delete static_cast<RequestState*>(*state);
  *state = nullptr;
}

// The address a browser of the house would use to reach a server listening everywhere: the
// machine's first network address, or its name when it has none.
QString reachableHost() {
  for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
    if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback() &&
        !address.isLinkLocal()) {
      return address.toString();
    }
  }
  return QHostInfo::localHostName();
}

}  // namespace

struct WebServer::Running {
  Running(WebServer& owner, HostCheck hosts)
      : owner(owner),
        gate(owner.key_.toUtf8(), owner.options_.limits, std::move(hosts), owner.handler_) {}
  ~Running() {
    if (daemon != nullptr) {
      MHD_stop_daemon(daemon);
    }
  }

  static MHD_Result answer(void* self, MHD_Connection* connection, const char*, const char* method,
                           const char*, const char*, size_t* uploadSize, void** state) {
    auto* running = static_cast<Running*>(self);
    auto* request = static_cast<RequestState*>(*state);
    if (request->answered) {
      *uploadSize = 0;  // the body of a request already refused is read and dropped
      return MHD_YES;
    }
    request->answered = true;
    const IncomingRequest incoming{
        QByteArray(method), request->rawTarget, headerValue(connection, MHD_HEADER_KIND, "Host"),
        headerValue(connection, MHD_COOKIE_KIND, kSessionCookie), peerOf(connection)};
    QByteArray logged;
    const WebResponse response = running->gate.answer(incoming, logged);
    const MHD_Result result = queueResponse(connection, response);
    ++running->owner.served_;
    running->owner.log(
        requestLogLine(incoming.peer, logged, response.status, request->clock.elapsed()));
    return result;
  }

  WebServer& owner;
  WebGate gate;
  MHD_Daemon* daemon = nullptr;
};

WebServer::WebServer(WebServerOptions options, Handler handler)
    : options_(std::move(options)), handler_(std::move(handler)), key_(options_.key) {
  // Only this computer reaches a loopback address; anywhere else a key keeps the house's
  // neighbours out.
  if (key_.isEmpty() && !options_.address.isLoopback()) {
    key_ = QString::fromLatin1(makeSecret(kKeyBytes));
  }
}

WebServer::~WebServer() {
  stop();
}

bool WebServer::start(QString& error) {
  stop();
  const int socket = openListeningSocket(options_.address, options_.port, error);
  if (socket < 0) {
    return false;
  }
  port_ = boundPort(socket);
  running_ = std::make_unique<Running>(*this, HostCheck(options_.address, port_));
  running_->daemon = MHD_start_daemon(
      MHD_USE_AUTO_INTERNAL_THREAD, 0, nullptr, nullptr, &Running::answer, running_.get(),
      MHD_OPTION_LISTEN_SOCKET, socket, MHD_OPTION_THREAD_POOL_SIZE, threadCount(),
      MHD_OPTION_CONNECTION_LIMIT, kConnections, MHD_OPTION_PER_IP_CONNECTION_LIMIT,
      kConnectionsPerAddress, MHD_OPTION_CONNECTION_TIMEOUT, kSecondsToSendRequest,
      MHD_OPTION_CONNECTION_MEMORY_LIMIT, kBytesPerRequest, MHD_OPTION_URI_LOG_CALLBACK,
      &rememberTarget, nullptr, MHD_OPTION_NOTIFY_COMPLETED, &forgetRequest, nullptr,
      MHD_OPTION_END);
  if (running_->daemon == nullptr) {
    ::close(socket);
    running_.reset();
    error = u"No se pudo arrancar el servidor web en %1, puerto %2."_s.arg(
        options_.address.toString(), QString::number(port_));
    return false;
  }
  return true;
}

void WebServer::stop() {
  running_.reset();
}

bool WebServer::isRunning() const {
  return running_ != nullptr;
}

QString WebServer::url() const {
  QString host =
      listensEverywhere(options_.address) ? reachableHost() : options_.address.toString();
  if (host.contains(u':')) {
    host = u'[' + host + u']';
  }
  const quint16 port = isRunning() ? port_ : options_.port;
  QString url = u"http://%1:%2/"_s.arg(host).arg(port);
  if (!key_.isEmpty()) {
    url += u"?clave="_s + QString::fromLatin1(QUrl::toPercentEncoding(key_));
  }
  return url;
}

QString WebServer::key() const {
  return key_;
}

quint16 WebServer::port() const {
  return isRunning() ? port_ : options_.port;
}

quint64 WebServer::requestsServed() const {
  return served_.load();
}

void WebServer::setLogSink(std::function<void(const QString&)> sink) {
  const QMutexLocker lock(&logMutex_);
  logSink_ = std::move(sink);
}

void WebServer::log(const QString& line) {
  const QMutexLocker lock(&logMutex_);
  if (logSink_) {
    logSink_(line);
  }
}
