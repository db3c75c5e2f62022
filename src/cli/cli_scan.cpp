#include "cli/cli_scan.h"

#include <memory>

#include "listing/renderer.h"
#include "listing/saved_designs.h"
#include "output/export_writer.h"
#include "platform/posix_file.h"
#include "platform/raw_directory.h"
#include "scan/scan_driver.h"

using namespace Qt::StringLiterals;

namespace {

const QByteArray kDirDesign = "--dir-design";
const QByteArray kFileDesign = "--file-design";
const QByteArray kFormat = "--format";
const QByteArray kOutput = "--output";

struct ScanRequest {
  WalkPath start;
  LineDesigns designs;
  ExportFormat format = ExportFormat::Text;
  std::optional<QByteArray> output;
};

int usageError(const QString& line) {
  printError(line);
  printError(u"«quillet scan --help» explica su uso"_s);
  return kExitUsage;
}

// The designs last saved by the desktop program, unless the options give others.
LineDesigns designsFrom(const ParsedArguments& parsed) {
  LineDesigns designs = LoadSavedDesigns();
  if (const auto it = parsed.options.find(kDirDesign); it != parsed.options.end()) {
    designs.directory = argumentText(it->second);
  }
  if (const auto it = parsed.options.find(kFileDesign); it != parsed.options.end()) {
    designs.file = argumentText(it->second);
  }
  return designs;
}

// Fills request from the parsed arguments; a Spanish usage error otherwise.
QString requestFrom(const ParsedArguments& parsed, ScanRequest& request) {
  if (parsed.positional.empty() || parsed.positional.front().isEmpty()) {
    return u"falta el directorio que escanear"_s;
  }
  if (parsed.positional.size() > 1) {
    return u"sobra el argumento %1"_s.arg(argumentText(parsed.positional[1]));
  }
  if (const auto it = parsed.options.find(kFormat); it != parsed.options.end()) {
    if (it->second != "txt" && it->second != "html") {
      return u"formato desconocido: %1 (se admite txt o html)"_s.arg(argumentText(it->second));
    }
    request.format = it->second == "html" ? ExportFormat::Html : ExportFormat::Text;
  }
  if (const auto it = parsed.options.find(kOutput); it != parsed.options.end()) {
    if (it->second.isEmpty()) {
      return u"falta el archivo de --output"_s;
    }
    request.output = it->second;
  }
  request.start = WalkPath::fromBytes(parsed.positional.front()).absolute();
  request.designs = designsFrom(parsed);
  return {};
}

QByteArray scanAndRender(const ScanRequest& request) {
  useConfiguredLogFile();
  const auto model = std::make_unique<ListingModel>();
  const WalkStop stop = RunDirectoryScan(*model, request.start);
  if (stop == WalkStop::DirectoryLimit || stop == WalkStop::SongLimit) {
    printError(u"aviso: "_s + limitReachedText(stop));
  }
  return exportBytes(request.format, renderListing(*model, request.designs));
}

int writeListing(const ScanRequest& request, const QByteArray& bytes) {
  if (!request.output) {
    if (!writeStandardOutput(bytes)) {
      printError(u"no se puede escribir el listado en la salida estándar"_s);
      return kExitFailure;
    }
    return kExitOk;
  }
  const QString failure = replaceFileContents(*request.output, bytes);
  if (!failure.isEmpty()) {
    printError(u"no se puede escribir %1: %2"_s.arg(argumentText(*request.output), failure));
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace

QString scanHelp() {
  return u"Uso: quillet scan DIR [--dir-design TEXTO] [--file-design TEXTO] [--format txt|html]\n"
         u"                    [--output ARCHIVO]\n"
         u"\n"
         u"Escanea DIR y sus subdirectorios como el escaneo de directorio del programa (las\n"
         u"mismas líneas en el archivo de log, la misma numeración) y escribe el listado con\n"
         u"los dos diseños de línea, con los mismos bytes que su exportación (Windows-1252,\n"
         u"CR LF). No guarda los diseños ni abre la base de datos.\n"
         u"\n"
         u"Opciones:\n"
         u"  --dir-design TEXTO   diseño de las líneas de directorio (por omisión, el último\n"
         u"                       guardado; \"\" deja el listado sin líneas de directorio)\n"
         u"  --file-design TEXTO  diseño de las líneas de archivo (por omisión, el último\n"
         u"                       guardado)\n"
         u"  --format txt|html    formato del listado: txt (por omisión) o html\n"
         u"  --output ARCHIVO     escribe el listado en ARCHIVO y no en la salida estándar\n"
         u"  -h, --help           muestra esta ayuda\n"
         u"\n"
         u"Salida: 0 si todo fue bien (también si el listado llegó a su límite), 1 si el\n"
         u"directorio no se puede leer o el listado no se puede escribir, 2 si la orden está\n"
         u"mal escrita.\n"_s;
}

int runScanVerb(const CliArguments& arguments) {
  QString error;
  const std::optional<ParsedArguments> parsed =
      parseArguments(arguments, {kDirDesign, kFileDesign, kFormat, kOutput}, error);
  if (!parsed) {
    return usageError(error);
  }
  if (parsed->help) {
    printText(scanHelp());
    return kExitOk;
  }
  ScanRequest request;
  error = requestFrom(*parsed, request);
  if (!error.isEmpty()) {
    return usageError(error);
  }
  if (const int openError = directoryOpenError(request.start.raw); openError != 0) {
    printError(u"no se puede leer el directorio %1: %2"_s.arg(request.start.shown,
                                                              systemErrorText(openError)));
    return kExitFailure;
  }
  return writeListing(request, scanAndRender(request));
}
