#include "app/log.h"

#include <QDir>
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

// Why the log file cannot be opened, in the user's language where the cause is known.
QString whyNotOpened(const QString& path, const QFile& file) {
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
  return file.errorString();
}

// Empty when the line reached the file, otherwise the reason it did not.
QString appendToFile(const QString& path, const QString& message) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
    return whyNotOpened(path, file);
  }
  QByteArray line = encodeAnsi(message);
  line.append("\r\n");
  if (file.write(line) != line.size() || !file.flush()) {
    return u"error de escritura: "_s + file.errorString();
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
