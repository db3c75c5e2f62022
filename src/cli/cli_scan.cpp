#include "cli/cli_scan.h"

#include "cli/cli_database.h"
#include "cli/cli_listing_output.h"
#include "db/listing_store.h"
#include "db/source_store.h"
#include "platform/posix_file.h"
#include "platform/raw_directory.h"
#include "scan/scan_driver.h"
#include "scan/scan_notices.h"
#include "search/search_index.h"
#include "session/lifecycle.h"
#include "session/program_options.h"

using namespace Qt::StringLiterals;

namespace {

const QByteArray kStore = "--store";
const QByteArray kTags = "--tags";
const QByteArray kCodePage = "--codepage";
const QByteArray kAudio = "--audio";
const QByteArray kProperties = "--properties";
const QByteArray kLimits = "--limits";

struct ScanRequest {
  WalkPath start;
  ListingOutput output;
  TagReading tags;
  ListingLimits limits = ListingLimits::Classic;
  bool store = false;
};

QString codePageList() {
  QStringList names;
  for (const CodePage page : kAllCodePages) {
    names.append(codePageName(page));
  }
  return names.join(u", "_s);
}

// Which files are listed and whether their technical fields are read; never saved.
QString audioChoicesFrom(const ParsedArguments& parsed, TagReading& tags) {
  if (const std::optional<QString> files = optionText(parsed, kAudio)) {
    const std::optional<AudioFiles> chosen = audioFilesFromKey(*files);
    if (!chosen) {
      return u"archivos desconocidos: %1 (se admite mp3 o all)"_s.arg(*files);
    }
    tags.files = *chosen;
  }
  if (const std::optional<QString> properties = optionText(parsed, kProperties)) {
    const std::optional<bool> chosen = onOffFromKey(*properties);
    if (!chosen) {
      return u"valor desconocido de --properties: %1 (se admite on u off)"_s.arg(*properties);
    }
    tags.properties = *chosen;
  }
  return {};
}

// The saved choices, unless the options give others.
QString tagReadingFrom(const ParsedArguments& parsed, TagReading& tags) {
  tags = LoadProgramOptions().tags;
  if (const std::optional<QString> source = optionText(parsed, kTags)) {
    const std::optional<TagSource> chosen = tagSourceFromKey(*source);
    if (!chosen) {
      return u"etiquetas desconocidas: %1 (se admite v1, v2, v1v2 o v2v1)"_s.arg(*source);
    }
    tags.source = *chosen;
  }
  if (const std::optional<QString> name = optionText(parsed, kCodePage)) {
    const std::optional<CodePage> chosen = codePageFromName(*name);
    if (!chosen) {
      return u"página de códigos desconocida: %1 (se admite %2)"_s.arg(*name, codePageList());
    }
    tags.id3v1CodePage = *chosen;
  }
  return audioChoicesFrom(parsed, tags);
}

// The saved choice, unless the options give another.
QString listingLimitsFrom(const ParsedArguments& parsed, ListingLimits& limits) {
  limits = LoadProgramOptions().limits;
  if (const std::optional<QString> key = optionText(parsed, kLimits)) {
    const std::optional<ListingLimits> chosen = listingLimitsFromKey(*key);
    if (!chosen) {
      return u"límites desconocidos: %1 (se admiten classic o none)"_s.arg(*key);
    }
    limits = *chosen;
  }
  return {};
}

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
  if (const QString error = tagReadingFrom(parsed, request.tags); !error.isEmpty()) {
    return error;
  }
  if (const QString error = listingLimitsFrom(parsed, request.limits); !error.isEmpty()) {
    return error;
  }
  return listingOutputFrom(parsed, request.output);
}

// The command line ends once the listing is written, and one process scans once: its model is
// left to the process's exit, which takes a whole collection's memory back at once instead of
// freeing it string by string. The static pointer keeps it reachable, so leak checkers pass it.
ListingModel& modelLeftToExit() {
  static ListingModel* const model = new ListingModel;
  return *model;
}

const ListingModel& scanListing(const ScanRequest& request) {
  ListingModel& model = modelLeftToExit();
  ScanRun run(model);
  const WalkStop stop =
      run.walk(rootDirectoryScan(model, request.start, TreeNodes::Skip), {}, request.tags,
               request.limits, request.store ? SourceCheck::Identify : SourceCheck::Skip);
  if (isLimitStop(stop)) {
    printError(u"aviso: "_s + limitReachedText(stop, run.leftOut(), NoticeAdvice::CommandLine));
  }
  for (const ListingNotice& notice : scanNoticesOf(model.notices, NoticeAdvice::CommandLine)) {
    printError(u"aviso: "_s + notice.text);
  }
  return model;
}

int scanAndWrite(const ScanRequest& request) {
  UseConfiguredLogFile();
  LogWhereFilesLive();
  const ListingModel& model = scanListing(request);
  return writeListing(request.output, model, listingNameOf(model));
}

// A scan of a source already catalogued is still stored as a new listing, as asked; once it is,
// the user is told which listing it repeats (looked up before the store, so not itself).
QString cataloguedWarning(const ListingModel& model) {
  QString error;
  return recognitionText(storedSourcesMatching(model, error), model.source);
}

// Stored before it is written, so a database that refuses it leaves no listing file either.
int scanStoreAndWrite(const ScanRequest& request) {
  const ListingModel& model = scanListing(request);
  const QString catalogued = cataloguedWarning(model);
  const StoreResult stored = Save2bd(model);
  if (!stored.ok()) {
    printError(u"no se ha podido almacenar el listado en la base de datos: "_s + stored.error);
    return kExitFailure;
  }
  // The number's line stays the last, where scripts read it.
  if (!catalogued.isEmpty()) {
    printError(u"aviso: "_s + catalogued);
  }
  printNote(u"Listado almacenado en la BD con el número %1"_s.arg(stored.rp_id));
  indexStoredListing();
  return writeListing(request.output, model, listingNameOf(model));
}

}  // namespace

OptionNames scanOptions() {
  OptionNames options = listingOutputOptions();
  options.values.push_back(kTags);
  options.values.push_back(kCodePage);
  options.values.push_back(kAudio);
  options.values.push_back(kProperties);
  options.values.push_back(kLimits);
  options.flags.push_back(kStore);
  return options;
}

QString scanHelp() {
  return u"Uso: quillet scan DIR [--dir-design TEXTO] [--file-design TEXTO] [--format FORMATO]\n"
         u"                    [--encoding cp1252|utf8] [--csv-separator comma|semicolon]\n"
         u"                    [--tags v1|v2|v1v2|v2v1] [--codepage NOMBRE]\n"
         u"                    [--limits classic|none] [--audio mp3|all] [--properties on|off]\n"
         u"                    [--template NOMBRE|ARCHIVO] [--output ARCHIVO] [--store]\n"
         u"\n"
         u"Escanea DIR y sus subdirectorios como el escaneo de directorio del programa (las\n"
         u"mismas líneas en el archivo de log, la misma numeración) y escribe el listado con\n"
         u"los dos diseños de línea, con los mismos bytes que su exportación (Windows-1252,\n"
         u"CR LF), salvo en un terminal cuya configuración regional es UTF-8: sin --encoding\n"
         u"ni --output ARCHIVO, allí lo escribe en UTF-8, para que se lean los acentos. Las\n"
         u"etiquetas, la página de códigos y la codificación son por omisión las elegidas en\n"
         u"Opciones. No guarda los diseños ni las opciones. Sin --store no abre la base de\n"
         u"datos.\n"
         u"\n"
         u"Opciones:\n"_s +
         listingOutputHelp() +
         u"  --tags v1|v2|v1v2|v2v1\n"
         u"                       de dónde salen las etiquetas: v1 sólo ID3v1 (sin Opciones,\n"
         u"                       lo de siempre), v2 sólo ID3v2, v2v1 ID3v2 y, si falta,\n"
         u"                       ID3v1, v1v2 ID3v1 y, si falta, ID3v2\n"
         u"  --codepage NOMBRE    página de códigos de los textos de ID3v1: Windows-1252,\n"
         u"                       ISO-8859-1, ISO-8859-15, Windows-1250, Windows-1251 o\n"
         u"                       UTF-8 (también cp1252, cp1250, cp1251, latin1, latin9, utf8)\n"
         u"  --audio mp3|all      qué archivos se listan: mp3 sólo los MP3 (sin Opciones, lo\n"
         u"                       de siempre), all todo el audio (.mp3 .flac .ogg .oga .opus\n"
         u"                       .m4a .mp4 .aac .wma .wav .aiff .aif .ape .wv .mpc)\n"
         u"  --properties on|off  si se leen la duración, la tasa de bits, la frecuencia, los\n"
         u"                       canales y el tamaño de cada archivo ({3Dur}, {3Kbp}, {3Khz},\n"
         u"                       {3Tam}, {DDur}, {DNum})\n"
         u"  --limits classic|none\n"
         u"                       tamaño del listado: classic hasta 500 directorios con MP3 y\n"
         u"                       1000 archivos (lo de siempre), none todos los del árbol; por\n"
         u"                       omisión el elegido en Opciones\n"
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
