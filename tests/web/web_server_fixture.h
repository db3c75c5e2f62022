#pragma once

#include <gtest/gtest.h>

#include <QMutex>
#include <QStringList>
#include <atomic>
#include <memory>

#include "support/http_client.h"
#include "web/web_server.h"

// A server on a free loopback port whose page echoes what it was handed: the path, then each
// parameter as name=value, one a line; "/falta" answers 404 as a page would.
class WebServerTest : public ::testing::Test {
 protected:
  void startServer(WebServerOptions options = {}) {
    options.port = 0;
    server_ = std::make_unique<WebServer>(options, [this](const WebRequest& request) {
      ++pagesCalled_;
      WebResponse response;
      response.status = request.path == QStringLiteral("/falta") ? 404 : 200;
      QString body = request.path;
      for (const auto& [name, value] : request.query.queryItems(QUrl::FullyDecoded)) {
        body += u'\n' + name + u'=' + value;
      }
      response.body = body.toUtf8();
      return response;
    });
    server_->setLogSink([this](const QString& line) {
      const QMutexLocker lock(&logMutex_);
      log_ << line;
    });
    QString error;
    ASSERT_TRUE(server_->start(error)) << error.toStdString();
  }

  HttpReply get(const QByteArray& target, const QByteArray& extraHeaders = {},
                const QHostAddress& from = QHostAddress::LocalHost) {
    return httpExchange(server_->port(), httpRequest("GET", target, server_->port(), extraHeaders),
                        from);
  }

  QStringList logLines() {
    const QMutexLocker lock(&logMutex_);
    return log_;
  }

  std::unique_ptr<WebServer> server_;
  std::atomic<int> pagesCalled_{0};
  QMutex logMutex_;
  QStringList log_;
};
