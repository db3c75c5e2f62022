#include "cli/cli_listing_output.h"

#include <langinfo.h>
#include <locale.h>
#include <unistd.h>

#include <cstring>

#include "app/program_options.h"
#include "listing/renderer.h"

#include "platform/output_file.h"

using namespace Qt::StringLiterals;

namespace {

const QByteArray kDirDesign = "--dir-design";
const QByteArray kFileDesign = "--file-design";
const QByteArray kFormat = "--format";
const QByteArray kEncoding = "--encoding";
const QByteArray kOutput = "--output";

// The codeset of the locale the environment names (LC_ALL, LC_CTYPE, LANG), asked without
// changing the process's own locale; a locale that is not installed counts as not UTF-8.
bool localeIsUtf8() {
  const locale_t locale = ::newlocale(LC_CTYPE_MASK, "", locale_t{});
  if (locale == locale_t{}) {
    return false;
  }
  const bool utf8 = std::strcmp(::nl_langinfo_l(CODESET, locale), "UTF-8") == 0;
  ::freelocale(locale);
  return utf8;
}

// A listing shown on a terminal is there to be read: a UTF-8 terminal gets UTF-8, so accents
// read. Pipes and files keep the export's bytes, which is what scripts and other programs expect.
bool showsOnUtf8Terminal(const ListingOutput& output) {
  return !output.file && ::isatty(STDOUT_FILENO) == 1 && localeIsUtf8();
}

// The designs last saved by the desktop program, unless the options give others.
LineDesigns designsFrom(const ParsedArguments& parsed) {
  const LineDesigns saved = LoadSavedDesigns();
  return {optionText(parsed, kDirDesign).value_or(saved.directory),
          optionText(parsed, kFileDesign).value_or(saved.file)};
}

}  // namespace

std::optional<QString> optionText(const ParsedArguments& parsed, const QByteArray& name) {
  const auto it = parsed.options.find(name);
  return it == parsed.options.end() ? std::nullopt : std::optional(argumentText(it->second));
}

OptionNames listingOutputOptions() {
  return {{kDirDesign, kFileDesign, kFormat, kEncoding, kOutput}};
}

QString listingOutputFrom(const ParsedArguments& parsed, ListingOutput& output) {
  if (const auto it = parsed.options.find(kFormat); it != parsed.options.end()) {
    if (it->second != "txt" && it->second != "html") {
      return u"formato desconocido: %1 (se admite txt o html)"_s.arg(argumentText(it->second));
    }
    output.format = it->second == "html" ? ExportFormat::Html : ExportFormat::Text;
  }
  output.encoding = LoadProgramOptions().exportEncoding;
  if (const std::optional<QString> encoding = optionText(parsed, kEncoding)) {
    const std::optional<ExportEncoding> chosen = exportEncodingFromKey(*encoding);
    if (!chosen) {
      return u"codificación desconocida: %1 (se admite cp1252 o utf8)"_s.arg(*encoding);
    }
    output.encoding = *chosen;
  }
  if (const auto it = parsed.options.find(kOutput); it != parsed.options.end()) {
    if (it->second.isEmpty()) {
      return u"falta el archivo de --output"_s;
    }
    // "-" is standard output, as for most tools.
    if (it->second != "-") {
      output.file = it->second;
    }
  }
  if (!parsed.options.contains(kEncoding) && showsOnUtf8Terminal(output)) {
    output.encoding = ExportEncoding::Utf8;
  }
  output.designs = designsFrom(parsed);
  return {};
}

QString listingOutputHelp() {
  return u"  --dir-design TEXTO   diseño de las líneas de directorio (por omisión, el último\n"
         u"                       guardado; \"\" deja el listado sin líneas de directorio)\n"
         u"  --file-design TEXTO  diseño de las líneas de archivo (por omisión, el último\n"
         u"                       guardado)\n"
         u"  --format txt|html    formato del listado: txt (por omisión) o html\n"
         u"  --encoding cp1252|utf8\n"
         u"                       codificación del listado: Windows-1252 o UTF-8 (por omisión,\n"
         u"                       la elegida en Opciones; si no, cp1252; pero en un terminal\n"
         u"                       UTF-8, sin --output ARCHIVO, utf8); en html, la página\n"
         u"                       UTF-8 lo dice en su cabecera\n"
         u"  --output ARCHIVO     escribe el listado en ARCHIVO y no en la salida estándar (\"-\"\n"
         u"                       es la salida estándar; un enlace se sigue, y un dispositivo\n"
         u"                       o una tubería se escribe tal cual, sin sustituirlo)\n"_s;
}

int writeListing(const ListingOutput& output, const ListingModel& model) {
  const QByteArray bytes =
      exportBytes(output.format, renderListing(model, output.designs), output.encoding);
  if (!output.file) {
    if (const QString failure = writeOutputDescriptor(STDOUT_FILENO, bytes); !failure.isEmpty()) {
      printError(u"no se puede escribir el listado en la salida estándar: "_s + failure);
      return kExitFailure;
    }
    return kExitOk;
  }
  if (const QString failure = writeOutputFile(*output.file, bytes); !failure.isEmpty()) {
    printError(u"no se puede escribir %1: %2"_s.arg(argumentText(*output.file), failure));
    return kExitFailure;
  }
  return kExitOk;
}
