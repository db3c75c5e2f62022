#include "cli/cli_scan.h"

#include <memory>

#include "app/lifecycle.h"
#include "cli/cli_database.h"
#include "cli/cli_listing_output.h"
#include "db/listing_store.h"
#include "platform/posix_file.h"
#include "platform/raw_directory.h"
#include "scan/scan_driver.h"

using namespace Qt::StringLiterals;

namespace {

const QByteArray kStore = "--store";

struct ScanRequest {
  WalkPath start;
  ListingOutput output;
  bool store = false;
};

// Fills request from the parsed arguments; a Spanish usage error otherwise.
QString requestFrom(const ParsedArguments& parsed, ScanRequest& request) {
  if (parsed.positional.empty() || parsed.positional.front().isEmpty()) {
    return u"falta el directorio que escanear"_s;
  }
  if (parsed.positional.size() > 1) {
    return u"sobra el argumento %1"_s.arg(argumentText(parsed.positional[1]));
  }
  request.start = WalkPath::fromBytes(parsed.positional.front()).absolute();
  request.store = parsed.flags.contains(kStore);
  return listingOutputFrom(parsed, request.output);
}

std::unique_ptr<ListingModel> scanListing(const WalkPath& start) {
  auto model = std::make_unique<ListingModel>();
  const WalkStop stop = RunDirectoryScan(*model, start);
  if (stop == WalkStop::DirectoryLimit || stop == WalkStop::SongLimit) {
    printError(u"aviso: "_s + limitReachedText(stop));
  }
  return model;
}

int scanAndWrite(const ScanRequest& request) {
  UseConfiguredLogFile();
  LogWhereFilesLive();
  return writeListing(request.output, *scanListing(request.start));
}

// Stored before it is written, so a database that refuses it leaves no listing file either.
int scanStoreAndWrite(const ScanRequest& request) {
  const std::unique_ptr<ListingModel> model = scanListing(request.start);
  const StoreResult stored = Save2bd(*model);
  if (!stored.ok()) {
    printError(u"no se ha podido almacenar el listado en la base de datos: "_s + stored.error);
    return kExitFailure;
  }
  printNote(u"Listado almacenado en la BD con el número %1"_s.arg(stored.rp_id));
  return writeListing(request.output, *model);
}

}  // namespace

OptionNames scanOptions() {
  OptionNames options = listingOutputOptions();
  options.flags.push_back(kStore);
  return options;
}

QString scanHelp() {
  return u"Uso: quillet scan DIR [--dir-design TEXTO] [--file-design TEXTO] [--format txt|html]\n"
         u"                    [--output ARCHIVO] [--store]\n"
         u"\n"
         u"Escanea DIR y sus subdirectorios como el escaneo de directorio del programa (las\n"
         u"mismas líneas en el archivo de log, la misma numeración) y escribe el listado con\n"
         u"los dos diseños de línea, con los mismos bytes que su exportación (Windows-1252,\n"
         u"CR LF). No guarda los diseños. Sin --store no abre la base de datos.\n"
         u"\n"
         u"Opciones:\n"_s +
         listingOutputHelp() +
         u"  --store              además almacena el listado en la base de datos, como el\n"
         u"                       botón «Almacenar en BD», antes de escribirlo, y dice su\n"
         u"                       número en la salida de errores\n"_s +
         helpOptionLine() +
         u"\n"
         u"Salida: 0 si todo fue bien (también si el listado llegó a su límite), 1 si el\n"
         u"directorio no se puede leer, el listado no se puede escribir o la base de datos no\n"
         u"se puede usar, 2 si la orden está mal escrita.\n"_s;
}

int runScanVerb(const ParsedArguments& parsed) {
  ScanRequest request;
  if (const QString error = requestFrom(parsed, request); !error.isEmpty()) {
    return usageError("scan", error);
  }
  if (const int openError = directoryOpenError(request.start.raw); openError != 0) {
    printError(u"no se puede leer el directorio %1: %2"_s.arg(request.start.shown,
                                                              systemErrorText(openError)));
    return kExitFailure;
  }
  if (!request.store) {
    return scanAndWrite(request);
  }
  return withDatabase([&] { return scanStoreAndWrite(request); });
}
