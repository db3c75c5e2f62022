#include <QFile>
#include <QUrl>

#include <csignal>

#include "cli_program_fixture.h"
#include "support/http_client.h"

using namespace Qt::StringLiterals;

namespace {

class CliServeTest : public CliProgramTest {
 protected:
  // Starts `serve` with arguments; the address it prints, or an empty one when it ended.
  QUrl startServing(QProcess& server, const QStringList& arguments) {
    server.setWorkingDirectory(work);
    server.start(program(), QStringList{u"serve"_s} + arguments);
    if (!server.waitForReadyRead(20000)) {
      return {};
    }
    return QUrl(QString::fromUtf8(server.readLine().trimmed()));
  }
};

}  // namespace

TEST_F(CliServeTest, ServesUntilTerminatedLoggingEachRequestWithoutTheKey) {
  ASSERT_EQ(run({u"scan"_s, tree, u"--store"_s}).exitCode, 0);
  QProcess server;
  const QUrl url =
      startServing(server, {u"--listen"_s, u"127.0.0.1:0"_s, u"--clave"_s, u"secreta"_s});
  ASSERT_EQ(url.query(), u"clave=secreta"_s) << server.readAllStandardError().toStdString();
  const auto port = static_cast<quint16>(url.port());
  const HttpReply entry = httpExchange(port, httpRequest("GET", "/?clave=secreta", port));
  EXPECT_EQ(entry.status, 303);
  const QByteArray cookie = entry.header("Set-Cookie").split(';').front();
  const HttpReply listing =
      httpExchange(port, httpRequest("GET", "/listado/1", port, "Cookie: " + cookie + "\r\n"));
  EXPECT_EQ(listing.status, 200);
  EXPECT_TRUE(listing.body.contains("Bee &amp; &lt;i&gt;"));

  ::kill(static_cast<pid_t>(server.processId()), SIGTERM);
  ASSERT_TRUE(server.waitForFinished(20000));
  EXPECT_EQ(server.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(server.exitCode(), 0);
  const QByteArray log = server.readAllStandardError();
  EXPECT_TRUE(log.contains(" 127.0.0.1 /listado/1 200 ")) << log.toStdString();
  EXPECT_FALSE(log.contains("secreta"));
}

TEST_F(CliServeTest, AMissingCatalogueIsNeverMade) {
  QProcess server;
  EXPECT_TRUE(startServing(server, {u"--listen"_s, u"127.0.0.1:0"_s}).isEmpty());
  ASSERT_TRUE(server.state() == QProcess::NotRunning || server.waitForFinished(20000));
  EXPECT_EQ(server.exitCode(), 1);
  EXPECT_TRUE(server.readAllStandardError().contains("no se puede leer el catálogo"));
  EXPECT_FALSE(QFile::exists(programFile("quillet.mdb")));
}
