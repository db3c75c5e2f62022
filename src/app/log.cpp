#include "app/log.h"

#include <QFile>
#include <QFileInfo>

#include "platform/ansi_codec.h"

using namespace Qt::StringLiterals;

namespace {

struct LogState {
  QString filePath;
  LogListSink sink;
  bool failureReported = false;
};

LogState& state() {
  static LogState s;
  return s;
}

// Empty when the line reached the file, otherwise the reason it did not.
QString appendToFile(const QString& path, const QString& message) {
  if (QFileInfo(path).isDir()) {
    return u"config.ini no indica ningún archivo (sección log, clave logfile)"_s;
  }
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
    return file.errorString();
  }
  QByteArray line = encodeAnsi(message);
  line.append("\r\n");
  if (file.write(line) != line.size()) {
    return file.errorString();
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
  const QString failure = appendToFile(state().filePath, message);
  if (!failure.isEmpty() && !state().failureReported) {
    state().failureReported = true;
    showInList(
        u"No se puede escribir en el archivo de log %1: %2"_s.arg(state().filePath, failure));
  }
  showInList(message);
}
