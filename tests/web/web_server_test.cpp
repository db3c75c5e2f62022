#include <QHostInfo>
#include <QRegularExpression>
#include <QTcpServer>

#include "web_server_fixture.h"

using namespace Qt::StringLiterals;

namespace {

const QHostAddress kOtherAddress(u"127.0.0.3"_s);

// What is sent (a request, a Host header, a target) and the status it must get.
struct StatusCase {
  QByteArray sent;
  int status;
};

}  // namespace

TEST_F(WebServerTest, MethodsThatCouldChangeSomethingAreRefused) {
  startServer();
  for (const QByteArray method : {"POST", "PUT", "DELETE", "PATCH", "OPTIONS"}) {
    SCOPED_TRACE(method.constData());
    const HttpReply reply =
        httpExchange(server_->port(), httpRequest(method, "/", server_->port()));
    EXPECT_EQ(reply.status, 405);
    EXPECT_EQ(reply.header("Allow"), "GET, HEAD");
  }
  EXPECT_EQ(pagesCalled_, 0);
}

TEST_F(WebServerTest, HeadAnswersLikeGetWithoutTheBody) {
  startServer();
  const HttpReply full = get("/buscar?q=x");
  const HttpReply head =
      httpExchange(server_->port(), httpRequest("HEAD", "/buscar?q=x", server_->port()));
  EXPECT_EQ(head.status, 200);
  EXPECT_TRUE(head.body.isEmpty());
  EXPECT_EQ(head.header("Content-Length"), QByteArray::number(full.body.size()));
}

TEST_F(WebServerTest, EveryAnswerForbidsScriptsSniffingAndReferrers) {
  startServer();
  const QByteArray port = QByteArray::number(server_->port());
  const StatusCase cases[] = {
      {httpRequest("GET", "/", server_->port()), 200},
      {httpRequest("GET", "/falta", server_->port()), 404},
      {httpRequest("POST", "/", server_->port()), 405},
      {httpRequest("GET", "/%FF", server_->port()), 400},
      {"GET / HTTP/1.1\r\nHost: otro.example:" + port + "\r\nConnection: close\r\n\r\n", 421},
  };
  for (const auto& [request, status] : cases) {
    SCOPED_TRACE(request.constData());
    const HttpReply reply = httpExchange(server_->port(), request);
    EXPECT_EQ(reply.status, status);
    EXPECT_EQ(reply.header("Content-Security-Policy"),
              "default-src 'none'; style-src 'self'; img-src 'self' data:");
    EXPECT_EQ(reply.header("X-Content-Type-Options"), "nosniff");
    EXPECT_EQ(reply.header("Referrer-Policy"), "no-referrer");
  }
}

TEST_F(WebServerTest, HostMustNameThisServerAndItsPort) {
  startServer();
  const QByteArray port = QByteArray::number(server_->port());
  const StatusCase cases[] = {
      {"127.0.0.1:" + port, 200},
      {"localhost:" + port, 200},
      {"LocalHost:" + port, 200},
      {QHostInfo::localHostName().toUtf8() + ':' + port, 200},
      {"rebinding.example:" + port, 421},
      {"127.0.0.2:" + port, 421},
      {"127.0.0.1:1", 421},
      {"127.0.0.1", 421},
      {"[::1]:" + port, 421},
  };
  for (const auto& [host, status] : cases) {
    SCOPED_TRACE(host.constData());
    const QByteArray request = "GET / HTTP/1.0\r\nHost: " + host + "\r\n\r\n";
    EXPECT_EQ(httpExchange(server_->port(), request).status, status);
  }
  EXPECT_EQ(httpExchange(server_->port(), "GET / HTTP/1.0\r\n\r\n").status, 421);
}

TEST_F(WebServerTest, TargetsThePagesWouldChokeOnAreRefused) {
  startServer();
  const QByteArray longest(200, 'a');
  const StatusCase cases[] = {
      {"/listado/%FF", 400},     {"/buscar?q=%C3", 400},      {"/buscar?q=a%00b", 400},
      {"/listado%00/1", 400},    {"/?" + longest + 'a', 400}, {"/?" + longest, 200},
      {"/buscar?q=%C3%B1", 200},
  };
  for (const auto& [target, status] : cases) {
    SCOPED_TRACE(target.constData());
    EXPECT_EQ(get(target).status, status);
  }
}

TEST_F(WebServerTest, PagesGetAFormsTextAsTyped) {
  startServer();
  const HttpReply reply = get("/buscar%20ya?q=a+b%2Bc%25d%26e&en=t%C3%ADtulo");
  EXPECT_EQ(QString::fromUtf8(reply.body), u"/buscar ya\nq=a b+c%d&e\nen=título"_s);
}

TEST_F(WebServerTest, ARequestOverTheSizeLimitIsRefusedPromptly) {
  startServer();
  const HttpReply reply = get("/", "X-Relleno: " + QByteArray(10 * 1024, 'x') + "\r\n");
  EXPECT_TRUE(reply.status == 400 || reply.status == 413 || reply.status == 431) << reply.status;
  EXPECT_EQ(pagesCalled_, 0);
}

TEST_F(WebServerTest, AnAddressThatAsksTooFastIsToldToWaitAndOthersAreNot) {
  WebServerOptions slow;
  slow.limits.requestsPerSecond = 0.1;
  slow.limits.requestBurst = 3;
  startServer(slow);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(get("/").status, 200);
  }
  const HttpReply refused = get("/");
  EXPECT_EQ(refused.status, 429);
  EXPECT_FALSE(refused.header("Retry-After").isEmpty());
  EXPECT_EQ(get("/", {}, kOtherAddress).status, 200);
}

TEST_F(WebServerTest, IdleConnectionsOfOneAddressDoNotStarveAnother) {
  startServer();
  const QHostAddress idler(u"127.0.0.2"_s);
  std::vector<std::unique_ptr<QTcpSocket>> idle;
  for (int i = 0; i < 8; ++i) {
    idle.push_back(halfOpenConnection(server_->port(), idler));
  }
  EXPECT_EQ(get("/", {}, kOtherAddress).status, 200);
  // A ninth connection from the idling address is over its share and closed unanswered.
  EXPECT_EQ(get("/", {}, idler).status, 0);
}

TEST_F(WebServerTest, BeyondSixtyFourConnectionsANewOneWaitsItsTurn) {
  startServer();
  std::vector<std::unique_ptr<QTcpSocket>> idle;
  for (int address = 10; address < 18; ++address) {
    const QHostAddress from(u"127.0.0.%1"_s.arg(address));
    for (int i = 0; i < 8; ++i) {
      idle.push_back(halfOpenConnection(server_->port(), from));
    }
  }
  QTcpSocket waiting;
  waiting.bind(kOtherAddress);
  waiting.connectToHost(QHostAddress::LocalHost, server_->port());
  ASSERT_TRUE(waiting.waitForConnected(5000));
  waiting.write(httpRequest("GET", "/", server_->port()));
  EXPECT_FALSE(waiting.waitForReadyRead(300));
  idle.pop_back();
  ASSERT_TRUE(waiting.waitForReadyRead(5000));
  EXPECT_TRUE(waiting.readAll().startsWith("HTTP/1.1 200"));
}

TEST_F(WebServerTest, EachRequestIsLoggedAndCounted) {
  startServer();
  get("/buscar?q=rosa");
  get("/falta");
  EXPECT_EQ(server_->requestsServed(), 2u);
  const QStringList lines = logLines();
  ASSERT_EQ(lines.size(), 2);
  EXPECT_TRUE(QRegularExpression(u"^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d 127\\.0\\.0\\.1 "
                                 u"/buscar\\?q=rosa 200 \\d+ ms$"_s)
                  .match(lines[0])
                  .hasMatch())
      << lines[0].toStdString();
  EXPECT_TRUE(lines[1].contains(u" /falta 404 "_s)) << lines[1].toStdString();
}

TEST_F(WebServerTest, APortInUseIsReportedInSpanish) {
  QTcpServer taken;
  ASSERT_TRUE(taken.listen(QHostAddress::LocalHost));
  WebServerOptions options;
  options.port = taken.serverPort();
  WebServer server(options, [](const WebRequest&) { return WebResponse{}; });
  QString error;
  EXPECT_FALSE(server.start(error));
  EXPECT_TRUE(error.contains(u"ya está en uso"_s)) << error.toStdString();
}
