#include "base/log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

#include "platform/ansi_codec.h"
#include "platform/posix_file.h"

using namespace Qt::StringLiterals;

namespace {

struct LogState {
  QString filePath;
  LogListSink sink;
  bool failureReported = false;
  // Kept open between lines, as a walk writes two a directory; see openLogFile.
  UniqueFd file;
  QString openedPath;
};

LogState& state() {
  static LogState s;
  return s;
}

// Why the log file cannot be opened, in the user's language where the cause is known.
QString whyNotOpened(const QString& path, int error) {
  const QFileInfo info(path);
  if (path.endsWith(u'/')) {
    return u"config.ini no da ningún nombre de archivo (sección log, clave logfile)"_s;
  }
  if (info.isDir()) {
    return u"el nombre es el de una carpeta"_s;
  }
  if (!info.dir().exists()) {
    return u"la carpeta %1 no existe"_s.arg(info.absolutePath());
  }
  if (info.exists() ? !info.isWritable() : !QFileInfo(info.absolutePath()).isWritable()) {
    return u"no hay permiso de escritura"_s;
  }
  return systemErrorText(error);
}

bool stillNamed(int fd) {
  struct stat info;
  return fstat(fd, &info) == 0 && info.st_nlink > 0;
}

// The file of the last line, unless the log moved to another path or the file was removed
// meanwhile (then it is made again, as a line always was); errno says why it cannot be opened.
bool openLogFile(LogState& log) {
  if (log.file.valid() && log.openedPath == log.filePath && stillNamed(log.file.get())) {
    return true;
  }
  log.openedPath = log.filePath;
  log.file = UniqueFd(::open(QFile::encodeName(log.filePath).constData(),
                             O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666));
  return log.file.valid();
}

// Empty when the line reached the file, otherwise the reason it did not. The line goes in one
// write() on a file opened for appending, so lines of two programs sharing the log never mix.
QString appendToFile(LogState& log, const QString& message) {
  if (!openLogFile(log)) {
    return whyNotOpened(log.filePath, errno);
  }
  QByteArray line = encodeAnsi(message);
  line.append("\r\n");
  const ssize_t written =
      ::write(log.file.get(), line.constData(), static_cast<size_t>(line.size()));
  if (written != line.size()) {
    return u"error de escritura: "_s + systemErrorText(written < 0 ? errno : ENOSPC);
  }
  return {};
}

void showInList(const QString& line) {
  if (state().sink) {
    state().sink(line);
  }
}

}  // namespace

QString LogFilePath() {
  return state().filePath;
}

void setLogFilePath(const QString& path) {
  state().filePath = path;
  state().failureReported = false;
}

void setLogListSink(LogListSink sink) {
  state().sink = std::move(sink);
}

void WriteLog(const QString& message) {
  // A line of another thread (a search giving an older database its index) is written by the
  // main thread, which keeps the file and the list, in the order the lines came.
  if (QCoreApplication* app = QCoreApplication::instance();
      app && QThread::currentThread() != app->thread()) {
    QMetaObject::invokeMethod(
        app, [message] { WriteLog(message); }, Qt::QueuedConnection);
    return;
  }
  const QString failure = appendToFile(state(), message);
  if (!failure.isEmpty() && !state().failureReported) {
    state().failureReported = true;
    showInList(
        u"No se puede escribir en el archivo de log %1: %2"_s.arg(state().filePath, failure));
  }
  showInList(message);
}
