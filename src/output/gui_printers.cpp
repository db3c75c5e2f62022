#include "output/gui_printers.h"

#include <QLibrary>
#include <QPrinter>
#include <QPrinterInfo>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

// Qt hands a finished document to CUPS without looking at the answer, so a queue that refuses
// jobs would go unnoticed. libcups keeps the last answer per thread; Qt's print plugin has
// already loaded it, so asking it here reads the answer to that very request.
QString lastCupsError() {
  using StatusFn = int (*)();
  using TextFn = const char* (*)();
  static QLibrary cups(u"cups"_s, 2);
  static const auto status = reinterpret_cast<StatusFn>(cups.resolve("cupsLastError"));
  static const auto text = reinterpret_cast<TextFn>(cups.resolve("cupsLastErrorString"));
  if (status == nullptr || text == nullptr) {
    return {};
  }
  // Statuses from 0x0400 on are errors; libcups' own failures are negative.
  constexpr int kFirstErrorStatus = 0x0400;
  const int code = status();
  if (code >= 0 && code < kFirstErrorStatus) {
    return {};
  }
  return u"el sistema de impresión rechazó el trabajo (%1)"_s.arg(QString::fromUtf8(text()));
}

class SystemPrinters final : public PrinterSource {
 public:
  QStringList printerNames() const override { return QPrinterInfo::availablePrinterNames(); }

  QString defaultPrinterName() const override { return QPrinterInfo::defaultPrinterName(); }

  std::unique_ptr<QPrinter> openPrinter(const QString& name, QString* reason) const override {
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    if (info.isNull()) {
      *reason = u"la impresora ya no está instalada"_s;
      return nullptr;
    }
    if (info.state() == QPrinter::Error) {
      *reason = u"la impresora está detenida o en estado de error"_s;
      return nullptr;
    }
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    // QPrinter falls back to another device when it cannot use the one asked for.
    if (!printer->isValid() || printer->printerName() != name ||
        printer->outputFormat() != QPrinter::NativeFormat) {
      *reason = u"no se pudo preparar la impresora"_s;
      return nullptr;
    }
    return printer;
  }

  QString jobError() const override { return lastCupsError(); }
};

struct PrinterState {
  std::shared_ptr<const PrinterSource> source;
  std::optional<QString> current;
};

PrinterState& state() {
  static PrinterState s;
  return s;
}

}  // namespace

const PrinterSource& printerSource() {
  if (!state().source) {
    state().source = std::make_shared<SystemPrinters>();
  }
  return *state().source;
}

void setPrinterSource(std::shared_ptr<const PrinterSource> source) {
  state().source = std::move(source);
  state().current.reset();
}

QString CurrentPrinterName() {
  if (!state().current) {
    state().current = printerSource().defaultPrinterName();
  }
  return *state().current;
}

void setCurrentPrinterName(const QString& name) {
  state().current = name;
}
