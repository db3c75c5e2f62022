// A stand-in for `quillet serve` until its pages exist: the real server and guards over a page
// that builds a table of fixed rows, so serve_bench.sh has something to load. Logs like the
// verb, one line per request on standard error, and runs until SIGINT or SIGTERM.
// Usage: web_test_server [PORT [ROWS]]

#include <csignal>
#include <cstdio>

#include <QCoreApplication>
#include <QString>

#include "web/web_server.h"

using namespace Qt::StringLiterals;

namespace {

WebResponse tablePage(const WebRequest& request, int rows) {
  QString html =
      u"<!DOCTYPE html><html lang=\"es\"><head><meta charset=\"utf-8\"><title>%1"
      u"</title></head><body><table>"_s.arg(request.path.toHtmlEscaped());
  const QString query = queryValue(request, u"q"_s).toHtmlEscaped();
  for (int row = 1; row <= rows; ++row) {
    html +=
        u"<tr><td>%1</td><td>/música/disco %1/</td><td>%2 %1.mp3</td></tr>"_s.arg(row).arg(query);
  }
  html += u"</table></body></html>"_s;
  WebResponse response;
  response.body = html.toUtf8();
  return response;
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication application(argc, argv);
  const QStringList arguments = application.arguments();
  WebServerOptions options;
  options.port = arguments.size() > 1 ? arguments[1].toUShort() : options.port;
  const int rows = arguments.size() > 2 ? arguments[2].toInt() : 50;

  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  // Blocked before the server's threads start, so they inherit the mask and the signal waits
  // for sigwait below.
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  WebServer server(options, [rows](const WebRequest& request) { return tablePage(request, rows); });
  server.setLogSink([](const QString& line) { std::fprintf(stderr, "%s\n", qPrintable(line)); });
  QString error;
  if (!server.start(error)) {
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return 1;
  }
  std::printf("%s\n", qPrintable(server.url()));
  std::fflush(stdout);
  int signal = 0;
  sigwait(&stopSignals, &signal);
  server.stop();
  return 0;
}
