#include "app/gui_desktop.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

#include "app/frm_main.h"
#include "platform/gui_desktop_opener.h"
#include "platform/qt_translations.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kNoDisplayStatus = 1;

bool hasEnv(const char* name) {
  return !qEnvironmentVariableIsEmpty(name);
}

// Qt would pick the X or Wayland platform and die with its own English message.
bool noGraphicalSession() {
  return !hasEnv("DISPLAY") && !hasEnv("WAYLAND_DISPLAY") && !hasEnv("QT_QPA_PLATFORM");
}

[[noreturn]] void sayGraphicalSessionNeeded() {
  std::fputs(
      "quillet: el programa de escritorio necesita una sesión gráfica y no hay ninguna pantalla "
      "disponible.\nLas órdenes funcionan en un terminal sin pantalla: quillet --help\n",
      stderr);
  std::exit(kNoDisplayStatus);
}

// While the application object starts, a platform plugin that cannot start is a fatal Qt
// message; it becomes the Spanish explanation. Other messages go on as usual.
QtMessageHandler& previousHandler() {
  static QtMessageHandler handler = nullptr;
  return handler;
}

void startupMessageHandler(QtMsgType type, const QMessageLogContext& context,
                           const QString& message) {
  if (type == QtFatalMsg) {
    sayGraphicalSessionNeeded();
  }
  previousHandler()(type, context, message);
}

}  // namespace

int runDesktop(int& argc, char** argv) {
  if (noGraphicalSession()) {
    sayGraphicalSessionNeeded();
  }
  previousHandler() = qInstallMessageHandler(startupMessageHandler);
  QApplication app(argc, argv);
  qInstallMessageHandler(previousHandler());
  installSpanishQtTranslations(app);
  installDesktopOpener();
  frm_main window;
  window.show();
  return app.exec();
}
