#include "web_server_fixture.h"

using namespace Qt::StringLiterals;

namespace {

const QByteArray kKey = "llave-de-prueba";

WebServerOptions withKey() {
  WebServerOptions options;
  options.key = QString::fromLatin1(kKey);
  return options;
}

QByteArray cookieOf(const HttpReply& reply) {
  const QByteArray setCookie = reply.header("Set-Cookie");
  return setCookie.left(setCookie.indexOf(';'));
}

}  // namespace

TEST_F(WebServerTest, TheKeyOpensASessionAndLeavesTheAddressBar) {
  startServer(withKey());
  const HttpReply opened = get("/buscar?q=rosa&clave=" + kKey);
  EXPECT_EQ(opened.status, 303);
  EXPECT_EQ(opened.header("Location"), "/buscar?q=rosa");
  const QByteArray setCookie = opened.header("Set-Cookie");
  for (const char* attribute : {"; HttpOnly", "; SameSite=Strict", "; Path=/"}) {
    EXPECT_TRUE(setCookie.contains(attribute)) << setCookie.constData();
  }
  const HttpReply page = get("/buscar?q=rosa", "Cookie: " + cookieOf(opened) + "\r\n");
  EXPECT_EQ(page.status, 200);
  EXPECT_EQ(pagesCalled_, 1);
}

TEST_F(WebServerTest, WithoutTheKeyOrItsSessionNoPageIsShown) {
  startServer(withKey());
  const QByteArray refused[][2] = {
      {"/", ""},
      {"/?clave=llave-de-prueb", ""},
      {"/?clave=" + kKey + "x", ""},
      {"/", "Cookie: quillet_sesion=inventada\r\n"},
  };
  for (const auto& [target, headers] : refused) {
    SCOPED_TRACE(target.constData());
    const HttpReply reply = get(target, headers);
    EXPECT_EQ(reply.status, 403);
    EXPECT_TRUE(reply.body.contains("clave")) << reply.body.constData();
  }
  EXPECT_EQ(pagesCalled_, 0);
}

TEST_F(WebServerTest, FiveWrongKeysLockTheAddressOutButNotOthers) {
  startServer(withKey());
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(get("/?clave=mala").status, 403);
  }
  const HttpReply locked = get("/?clave=" + kKey);
  EXPECT_EQ(locked.status, 429);
  const int wait = locked.header("Retry-After").toInt();
  EXPECT_TRUE(wait > 50 && wait <= 60) << wait;
  EXPECT_EQ(get("/?clave=" + kKey, {}, QHostAddress(u"127.0.0.4"_s)).status, 303);
}

TEST_F(WebServerTest, TheKeyNeverReachesTheLog) {
  startServer(withKey());
  get("/buscar?clave=" + kKey + "&q=x");
  get("/?clave=otra");
  get("/%FF?clave=" + kKey);
  const QStringList lines = logLines();
  ASSERT_EQ(lines.size(), 3);
  for (const QString& line : lines) {
    EXPECT_FALSE(line.contains(u"clave"_s) || line.contains(QString::fromLatin1(kKey)))
        << line.toStdString();
  }
}

TEST_F(WebServerTest, OnlyLoopbackGoesWithoutAKey) {
  const auto page = [](const WebRequest&) { return WebResponse{}; };
  const WebServer local(WebServerOptions{}, page);
  EXPECT_TRUE(local.key().isEmpty());
  EXPECT_EQ(local.url(), u"http://127.0.0.1:8642/"_s);
  WebServerOptions house;
  house.address = QHostAddress::Any;
  const WebServer first(house, page);
  const WebServer second(house, page);
  EXPECT_GE(first.key().size(), 20);
  EXPECT_NE(first.key(), second.key());
  EXPECT_TRUE(first.url().endsWith(u":8642/?clave="_s + first.key())) << first.url().toStdString();
}
