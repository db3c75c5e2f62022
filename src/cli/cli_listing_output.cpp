#include "cli/cli_listing_output.h"

#include <langinfo.h>
#include <locale.h>
#include <unistd.h>

#include <cstring>

#include "cli/cli_table_output.h"
#include "cli/cli_templates.h"
#include "listing/renderer.h"
#include "output/template_export.h"
#include "session/program_options.h"

using namespace Qt::StringLiterals;

namespace {

const QByteArray kDirDesign = "--dir-design";
const QByteArray kFileDesign = "--file-design";
const QByteArray kFormat = "--format";
const QByteArray kEncoding = "--encoding";
const QByteArray kOutput = "--output";
const QByteArray kTemplate = "--template";

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
bool showsOnUtf8Terminal(const std::optional<QByteArray>& file) {
  return !file && ::isatty(STDOUT_FILENO) == 1 && localeIsUtf8();
}

// The designs last saved by the desktop program, unless the options give others.
LineDesigns designsFrom(const ParsedArguments& parsed) {
  const LineDesigns saved = LoadSavedDesigns();
  return {optionText(parsed, kDirDesign).value_or(saved.directory),
          optionText(parsed, kFileDesign).value_or(saved.file)};
}

}  // namespace

OptionNames listingOutputOptions() {
  return {{kDirDesign, kFileDesign, kFormat, kTemplate, kEncoding, csvSeparatorOption(), kOutput}};
}

namespace {

QString formatFrom(const ParsedArguments& parsed, ExportFormat& format) {
  if (const std::optional<QString> key = optionText(parsed, kFormat)) {
    const std::optional<ExportFormat> chosen = exportFormatFromKey(*key);
    if (!chosen) {
      return u"formato desconocido: %1 (se admite txt, html, csv o json)"_s.arg(*key);
    }
    format = *chosen;
  }
  return {};
}

// CSV and JSON are always UTF-8: an encoding given with them is a mistake worth telling.
QString encodingFrom(const ParsedArguments& parsed, ExportFormat format, ExportEncoding& encoding) {
  encoding = LoadProgramOptions().exportEncoding;
  const std::optional<QString> given = optionText(parsed, kEncoding);
  if (!given) {
    return {};
  }
  if (isTableFormat(format)) {
    return u"--encoding no vale con csv ni json, que siempre son UTF-8"_s;
  }
  const std::optional<ExportEncoding> chosen = exportEncodingFromKey(*given);
  if (!chosen) {
    return u"codificación desconocida: %1 (se admite cp1252 o utf8)"_s.arg(*given);
  }
  encoding = *chosen;
  return {};
}

QString fileFrom(const ParsedArguments& parsed, std::optional<QByteArray>& file) {
  if (const auto it = parsed.options.find(kOutput); it != parsed.options.end()) {
    if (it->second.isEmpty()) {
      return u"falta el archivo de --output"_s;
    }
    // "-" is standard output, as for most tools.
    if (it->second != "-") {
      file = it->second;
    }
  }
  return {};
}

}  // namespace

QString listingOutputFrom(const ParsedArguments& parsed, ListingOutput& output) {
  QString error = formatFrom(parsed, output.format);
  output.templateName = optionText(parsed, kTemplate);
  if (output.templateName && parsed.options.contains(kFormat)) {
    error = u"--template no vale con --format: la plantilla dice su formato"_s;
  }
  if (error.isEmpty()) {
    error = encodingFrom(parsed, output.format, output.choices.encoding);
  }
  if (error.isEmpty()) {
    error = csvSeparatorFrom(parsed, output.choices.csvSeparator);
  }
  if (error.isEmpty()) {
    error = fileFrom(parsed, output.file);
  }
  if (!parsed.options.contains(kEncoding) && showsOnUtf8Terminal(output.file)) {
    output.choices.encoding = ExportEncoding::Utf8;
  }
  output.choices.byteOrderMark = csvByteOrderMark(output.file);
  output.designs = designsFrom(parsed);
  return error;
}

QString listingOutputHelp() {
  return u"  --dir-design TEXTO   diseño de las líneas de directorio (por omisión, el último\n"
         u"                       guardado; \"\" deja el listado sin líneas de directorio)\n"
         u"  --file-design TEXTO  diseño de las líneas de archivo (por omisión, el último\n"
         u"                       guardado)\n"
         u"  --format txt|html|csv|json\n"
         u"                       formato del listado: txt (por omisión), html, o los archivos\n"
         u"                       del listado en csv o json (siempre UTF-8; csv con marca de\n"
         u"                       orden de bytes salvo en un terminal)\n"
         u"  --template NOMBRE|ARCHIVO\n"
         u"                       escribe el listado con una plantilla de exportación (véase\n"
         u"                       «quillet templates»), no con --format\n"
         u"  --encoding cp1252|utf8\n"
         u"                       codificación del listado: Windows-1252 o UTF-8 (por omisión,\n"
         u"                       la elegida en Opciones; si no, cp1252; pero en un terminal\n"
         u"                       UTF-8, sin --output ARCHIVO, utf8); en html, la página\n"
         u"                       UTF-8 lo dice en su cabecera; no vale con csv ni json\n"_s +
         csvSeparatorHelp() +
         u"  --output ARCHIVO     escribe el listado en ARCHIVO y no en la salida estándar (\"-\"\n"
         u"                       es la salida estándar; un enlace se sigue, y un dispositivo\n"
         u"                       o una tubería se escribe tal cual, sin sustituirlo)\n"_s;
}

int writeListing(const ListingOutput& output, const ListingModel& model, const ListingName& name,
                 int number) {
  if (output.templateName) {
    const std::optional<CompiledTemplate> tmpl = compiledTemplateFor(*output.templateName);
    if (!tmpl) {
      return kExitFailure;
    }
    return writeVerbOutput(
        output.file,
        templateListingBytes(*tmpl, model, name, number, output.designs,
                             templateOutputDir(output.file), output.choices.encoding),
        u"el listado"_s);
  }
  // The table formats are the listing's own rows: rendering them would be wasted work.
  const std::vector<RenderedEntry> entries = isTableFormat(output.format)
                                                 ? std::vector<RenderedEntry>()
                                                 : renderListing(model, output.designs);
  return writeVerbOutput(output.file,
                         listingExportBytes(output.format, model, name, entries, output.choices),
                         u"el listado"_s);
}
