#include "support/private_cups.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int kStartTimeoutMs = 5000;
constexpr int kClientTimeoutMs = 10000;
constexpr int kPollMs = 50;

// The generic PDF printer of cups-filters: PDF goes through pdftopdf and out unchanged in kind.
const QString kPdfPrinterPpd = u"/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd"_s;

QString findProgram(const QString& name) {
  QString found = QStandardPaths::findExecutable(name);
  if (found.isEmpty()) {
    found = QStandardPaths::findExecutable(name, {u"/usr/sbin"_s, u"/sbin"_s});
  }
  return found;
}

// A port the kernel considers free right now; cupsd binds it a moment later.
int freeLoopbackPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) {
    return 0;
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof(address);
  int port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  ::close(fd);
  return port;
}

bool writeText(const QString& path, const QString& text) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
         file.write(text.toUtf8()) == text.toUtf8().size();
}

}  // namespace

PrivateCups::PrivateCups() : root_(QDir::tempPath() + u"/quillet-cups-XXXXXX"_s) {
  // Filters run as the unprivileged "lp" user and must reach the queue's files in here.
  QFile::setPermissions(root_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                          QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                          QFile::ExeOther);
}

PrivateCups::~PrivateCups() {
  if (cupsd_.state() != QProcess::NotRunning) {
    cupsd_.terminate();
    if (!cupsd_.waitForFinished(3000)) {
      cupsd_.kill();
      cupsd_.waitForFinished(3000);
    }
  }
}

QString PrivateCups::path(const QString& name) const {
  return root_.path() + u'/' + name;
}

QString PrivateCups::server() const {
  return u"127.0.0.1:%1"_s.arg(port_);
}

QString PrivateCups::outputDir() const {
  return path(u"out"_s);
}

bool PrivateCups::writeConfiguration() {
  for (const QString& dir : {u"spool"_s, u"cache"_s, u"state"_s, u"log"_s, u"tmp"_s, u"out"_s}) {
    if (!QDir(root_.path()).mkpath(dir)) {
      return false;
    }
  }
  return writeText(path(u"cupsd.conf"_s),
                   u"Listen 127.0.0.1:%1\n"
                   "LogLevel info\n"
                   "Browsing No\n"
                   "WebInterface No\n"
                   "DefaultAuthType None\n"
                   "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                   "<Policy default>\n  <Limit All>\n    Order deny,allow\n"
                   "  </Limit>\n</Policy>\n"_s.arg(port_)) &&
         writeText(path(u"cups-files.conf"_s),
                   u"ServerRoot %1\n"
                   "RequestRoot %1/spool\n"
                   "CacheDir %1/cache\n"
                   "StateDir %1/state\n"
                   "TempDir %1/tmp\n"
                   "ErrorLog %1/log/error_log\n"
                   "AccessLog %1/log/access_log\n"
                   "PageLog %1/log/page_log\n"
                   "Printcap %1/printcap\n"
                   "FileDevice Yes\n"_s.arg(root_.path()));
}

QString PrivateCups::start() {
  const QString cupsd = findProgram(u"cupsd"_s);
  if (cupsd.isEmpty()) {
    return u"cupsd is not installed"_s;
  }
  if (!root_.isValid()) {
    return u"no temporary directory: "_s + root_.errorString();
  }
  port_ = freeLoopbackPort();
  if (port_ == 0) {
    return u"no free loopback port"_s;
  }
  if (!writeConfiguration()) {
    return u"cannot write the server's configuration in "_s + root_.path();
  }
  cupsd_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  cupsd_.start(cupsd,
               {u"-f"_s, u"-c"_s, path(u"cupsd.conf"_s), u"-s"_s, path(u"cups-files.conf"_s)});
  if (!cupsd_.waitForStarted(kStartTimeoutMs)) {
    return u"cupsd did not start: "_s + cupsd_.errorString();
  }
  const QDeadlineTimer deadline(kStartTimeoutMs);
  while (!deadline.hasExpired()) {
    QString output;
    if (cupsd_.state() == QProcess::NotRunning) {
      return u"cupsd stopped at once: "_s + errorLog();
    }
    if (runClient(u"lpstat"_s, {u"-r"_s}, &output).isEmpty() &&
        output.contains(u"scheduler is running"_s)) {
      return {};
    }
    QThread::msleep(kPollMs);
  }
  return u"cupsd did not answer on %1: "_s.arg(server()) + errorLog();
}

QString PrivateCups::addPdfQueue(const QString& name, const QString& outputFile) {
  if (!QFile::exists(kPdfPrinterPpd)) {
    return u"no PDF printer driver at "_s + kPdfPrinterPpd;
  }
  return runClient(u"lpadmin"_s, {u"-p"_s, name, u"-E"_s, u"-v"_s, u"file://"_s + outputFile,
                                  u"-P"_s, kPdfPrinterPpd});
}

QString PrivateCups::runClient(const QString& program, QStringList arguments, QString* output) {
  const QString executable = findProgram(program);
  if (executable.isEmpty()) {
    return program + u" is not installed"_s;
  }
  arguments.prepend(server());
  arguments.prepend(u"-h"_s);
  QProcess client;
  client.start(executable, arguments);
  if (!client.waitForFinished(kClientTimeoutMs)) {
    return program + u" did not finish"_s;
  }
  if (output != nullptr) {
    *output = QString::fromUtf8(client.readAllStandardOutput());
  }
  if (client.exitStatus() != QProcess::NormalExit || client.exitCode() != 0) {
    return program + u" failed: "_s + QString::fromUtf8(client.readAllStandardError());
  }
  return {};
}

bool PrivateCups::waitUntilIdle(const QString& queue, int timeoutMs) {
  const QDeadlineTimer deadline(timeoutMs);
  while (!deadline.hasExpired()) {
    QString pending;
    if (runClient(u"lpstat"_s, {u"-o"_s, queue}, &pending).isEmpty() &&
        pending.trimmed().isEmpty()) {
      return true;
    }
    QThread::msleep(kPollMs);
  }
  return false;
}

QString PrivateCups::errorLog() const {
  QFile log(path(u"log/error_log"_s));
  return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
}
