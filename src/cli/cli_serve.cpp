#include "cli/cli_serve.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QUrl>

#include <csignal>

#include <sys/signalfd.h>
#include <unistd.h>

#include "session/lifecycle.h"
#include "web/catalogue_pages.h"
#include "web/web_server.h"

using namespace Qt::StringLiterals;

namespace {

const QByteArray kListen = "--listen";
const QByteArray kKey = "--clave";

// "127.0.0.1:8642", "0.0.0.0:8642", "[::1]:8642" or "localhost:8642" (port 0: a free one) into
// options; false when the text names no address and port.
bool readListen(const QString& text, WebServerOptions& options) {
  const QUrl url(u"http://"_s + text);
  if (!url.isValid() || url.port() < 0 || !url.path().isEmpty() || text.contains(u'@')) {
    return false;
  }
  const QString host = url.host();
  options.address =
      host == u"localhost"_s ? QHostAddress(QHostAddress::LocalHost) : QHostAddress(host);
  options.port = static_cast<quint16>(url.port());
  return !options.address.isNull();
}

// SIGINT and SIGTERM as a descriptor the event loop watches: the loop writes the log lines the
// server's threads hand it, and ends on either signal. Blocked before the server's threads
// start, so they inherit the mask and no thread of ours is killed by them.
class StopSignals {
 public:
  StopSignals() {
    sigemptyset(&set_);
    sigaddset(&set_, SIGINT);
    sigaddset(&set_, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &set_, &previous_);
    descriptor_ = signalfd(-1, &set_, SFD_CLOEXEC);
  }
  ~StopSignals() {
    ::close(descriptor_);
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
  }
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  /** Runs the event loop until a signal comes, and takes it, so it is not delivered later. */
  void runUntilSignalled() const {
    QSocketNotifier signalled(descriptor_, QSocketNotifier::Read);
    QObject::connect(&signalled, &QSocketNotifier::activated, [this] {
      signalfd_siginfo taken{};
      if (::read(descriptor_, &taken, sizeof taken) == sizeof taken) {
        QCoreApplication::quit();
      }
    });
    QCoreApplication::exec();
  }

 private:
  sigset_t set_;
  sigset_t previous_;
  int descriptor_ = -1;
};

int serve(const WebServerOptions& options) {
  UseConfiguredLogFile();
  const CataloguePages pages;
  if (const QString failure = pages.openFailure(); !failure.isEmpty()) {
    printError(u"no se puede leer el catálogo: "_s + failure);
    return kExitFailure;
  }
  const StopSignals stopSignals;
  WebServer server(options, [&pages](const WebRequest& request) { return pages.answer(request); });
  server.setLogSink([](const QString& line) { printError(line); });
  QString error;
  if (!server.start(error)) {
    printError(error);
    return kExitFailure;
  }
  printText(server.url() + u'\n');
  printNote(u"Sirviendo el catálogo, sólo para leer, hasta que se interrumpa (Ctrl+C)"_s);
  stopSignals.runUntilSignalled();
  server.stop();
  return kExitOk;
}

}  // namespace

OptionNames serveOptions() {
  return {{kListen, kKey}};
}

int runServeVerb(const ParsedArguments& parsed) {
  if (!parsed.positional.empty()) {
    return usageError("serve", u"sobra el argumento "_s + argumentText(parsed.positional.front()));
  }
  WebServerOptions options;
  if (const std::optional<QString> listen = optionText(parsed, kListen);
      listen && !readListen(*listen, options)) {
    return usageError("serve",
                      u"dirección no válida: %1 (ha de ser DIRECCIÓN:PUERTO, como "
                      u"127.0.0.1:8642)"_s.arg(*listen));
  }
  if (const std::optional<QString> key = optionText(parsed, kKey)) {
    if (key->isEmpty()) {
      return usageError("serve", u"la clave no puede estar vacía"_s);
    }
    options.key = *key;
  }
  return serve(options);
}

QString serveHelp() {
  return u"Uso: quillet serve [--listen DIRECCIÓN:PUERTO] [--clave TEXTO]\n"
         u"\n"
         u"Sirve el catálogo, sólo para leer, a los navegadores de la casa: buscar, abrir un\n"
         u"listado, los duplicados y las estadísticas, y su JSON bajo /api/. Nunca crea un\n"
         u"catálogo, ni cambia su esquema, ni escribe en él. Escribe en la salida estándar la\n"
         u"dirección lista para abrir y sigue hasta que se interrumpe (Ctrl+C o la señal TERM),\n"
         u"con una línea por petición en la salida de errores (hora, dirección, ruta, estado y\n"
         u"milisegundos).\n"
         u"\n"
         u"Opciones:\n"
         u"  --listen DIRECCIÓN:PUERTO  dónde escucha: 127.0.0.1:8642 (sólo este ordenador) por\n"
         u"                       omisión; 0.0.0.0:8642 en todas las direcciones del ordenador\n"
         u"  --clave TEXTO        la clave que lleva la primera visita (/?clave=TEXTO). Fuera de\n"
         u"                       este ordenador hace falta una: sin --clave se hace una al azar\n"
         u"                       y se escribe con la dirección. La visita que la trae recibe\n"
         u"                       una cookie de sesión; la clave nunca se escribe en el log, y\n"
         u"                       cinco claves equivocadas bloquean la dirección un minuto.\n"_s +
         helpOptionLine() +
         u"\n"
         u"Salida: 0 al interrumpirse, 1 si el catálogo no se puede leer o la dirección no se\n"
         u"puede usar, 2 si la orden está mal escrita.\n"_s;
}
