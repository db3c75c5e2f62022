#include "session/lifecycle.h"

#include <cstdlib>

#include "base/app_info.h"
#include "base/ini_reader.h"
#include "base/loaded_forms.h"
#include "base/log.h"
#include "db/mod_bd.h"

using namespace Qt::StringLiterals;

namespace {

ProcessEnd& processEnd() {
  static ProcessEnd end = [] { std::_Exit(0); };
  return end;
}

void writeBanner() {
  WriteLog(AppTitle());
  WriteLog(QString(52, u'-'));
  WriteLog(u"Inicializando..."_s);
}

void logClosingForms() {
  for (const QString& name : loadedFormNames()) {
    WriteLog(u"Cerrando "_s + name);
  }
}

}  // namespace

void InitApp(const std::function<void(const QString& caption)>& setCaption) {
  setCaption(AppTitle());
  UseConfiguredLogFile();
  writeBanner();
  LogWhereFilesLive();
}

void UseConfiguredLogFile() {
  const QString logFile = ReadConfig(u"log"_s, u"logfile"_s);
  setLogFilePath(UserFile(logFile));
}

void LogWhereFilesLive() {
  if (FilesLiveApart()) {
    WriteLog(
        u"Archivos de esta sesión en %1 (no se puede escribir en la carpeta del programa %2)"_s.arg(
            FilesDir(), ProgramDir()));
  }
}

void Shutdown(const std::function<void()>& beep) {
  logClosingForms();
  CloseBd();
  WriteLog(u"cerrando..."_s);
  beep();
  processEnd()();
}

void setProcessEnd(ProcessEnd end) {
  processEnd() = std::move(end);
}
