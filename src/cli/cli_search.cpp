#include "cli/cli_search.h"

#include <QStringList>

#include <optional>

#include "base/text_helpers.h"
#include "cli/cli_database.h"
#include "cli/cli_table_output.h"
#include "output/catalogue_table.h"
#include "scan/listing_model.h"
#include "search/catalogue_search.h"
#include "search/search_names.h"

using namespace Qt::StringLiterals;

std::optional<SearchMedium> mediumFrom(const ParsedArguments& parsed, QString& error) {
  const auto given = parsed.options.find("--medium");
  if (given == parsed.options.end()) {
    return SearchMedium::Todos;
  }
  if (const std::optional<SearchMedium> medium = searchMediumNamed(argumentText(given->second))) {
    return medium;
  }
  error = u"medio no válido: %1 (ha de ser cd o dir)"_s.arg(argumentText(given->second));
  return std::nullopt;
}

QString mediumHelp() {
  return u"  --medium cd|dir      solo los listados de CD o solo los de directorio\n"_s;
}

namespace {

// How found files are written: tab-separated lines (the default), CSV or JSON.
struct FoundOutput {
  enum class Format { Tsv, Csv, Json } format = Format::Tsv;
  CsvSeparator separator = CsvSeparator::Comma;
};

QString foundOutputFrom(const ParsedArguments& parsed, FoundOutput& output) {
  if (const auto given = parsed.options.find("--format"); given != parsed.options.end()) {
    if (given->second == "csv") {
      output.format = FoundOutput::Format::Csv;
    } else if (given->second == "json") {
      output.format = FoundOutput::Format::Json;
    } else if (given->second != "tsv") {
      return u"formato desconocido: %1 (se admite tsv, csv o json)"_s.arg(
          argumentText(given->second));
    }
  }
  return csvSeparatorFrom(parsed, output.separator);
}

int writeTable(const FoundOutput& output, const ExportTable& table) {
  const QByteArray bytes = output.format == FoundOutput::Format::Json
                               ? jsonArrayBytes(table)
                               : csvBytes(table, output.separator, csvByteOrderMark(std::nullopt));
  return writeVerbOutput(std::nullopt, bytes, u"los archivos encontrados"_s);
}

QString requestFrom(const ParsedArguments& parsed, SearchRequest& request) {
  if (parsed.positional.empty()) {
    return u"falta el texto que buscar"_s;
  }
  QStringList words;
  for (const QByteArray& word : parsed.positional) {
    words.append(argumentText(word));
  }
  request.text = words.join(u' ');
  if (const auto in = parsed.options.find("--in"); in != parsed.options.end()) {
    const std::optional<SearchField> field = searchFieldNamed(argumentText(in->second));
    if (!field) {
      return u"campo no válido: %1 (ha de ser %2)"_s.arg(argumentText(in->second),
                                                         searchFieldNames().join(u'|'));
    }
    request.field = *field;
  }
  if (const auto limit = parsed.options.find("--limit"); limit != parsed.options.end()) {
    bool ok = false;
    request.limit = limit->second.toInt(&ok);
    if (!ok || request.limit < 1) {
      return u"límite no válido: %1 (ha de ser un número mayor que 0)"_s.arg(
          argumentText(limit->second));
    }
  }
  QString error;
  const std::optional<SearchMedium> medium = mediumFrom(parsed, error);
  request.medium = medium.value_or(SearchMedium::Todos);
  return error;
}

QString lineOf(const CatalogueFile& file) {
  const QString medium = file.medio == kMedioCd           ? u"CD"_s
                         : file.medio == kMedioDirectorio ? u"DIR"_s
                                                          : u"?"_s;
  const QStringList fields = {QString::number(file.rp_id),
                              medium,
                              file.report_name,
                              AcuteToQuote(file.dirname),
                              AcuteToQuote(file.filename),
                              file.artist,
                              file.title,
                              file.album,
                              file.year};
  QStringList shown;
  for (const QString& field : fields) {
    shown.append(onOneLine(field));
  }
  return shown.join(u'\t') + u'\n';
}

int printFound(const SearchRequest& request, const FoundOutput& output) {
  const SearchResult result = searchCatalogue(request);
  if (!result.error.isEmpty()) {
    printError(result.error);
    return kExitFailure;
  }
  if (output.format != FoundOutput::Format::Tsv) {
    return writeTable(output, searchTable(result.files));
  }
  QString text;
  for (const CatalogueFile& file : result.files) {
    text += lineOf(file);
  }
  printText(text);
  return kExitOk;
}

int printDuplicates(SearchMedium medium, const FoundOutput& output) {
  const DuplicatesResult result = findDuplicates(medium);
  if (!result.error.isEmpty()) {
    printError(result.error);
    return kExitFailure;
  }
  if (output.format != FoundOutput::Format::Tsv) {
    return writeTable(output, duplicatesTable(result.groups));
  }
  QStringList groups;
  for (const DuplicateGroup& group : result.groups) {
    QString lines;
    for (const CatalogueFile& copy : group.copies) {
      lines += lineOf(copy);
    }
    groups.append(lines);
  }
  printText(groups.join(u'\n'));
  return kExitOk;
}

QString lineFormatHelp() {
  return u"Escribe una línea por archivo, con estos campos separados por tabuladores: número\n"
         u"del listado, CD o DIR, nombre del listado, directorio, nombre del archivo, artista,\n"
         u"título, álbum y año. Los caracteres de control se muestran como «?».\n"_s;
}

QString formatHelp() {
  return u"  --format tsv|csv|json\n"
         u"                       tsv: las líneas de arriba (por omisión); csv o json: una fila\n"
         u"                       por archivo con sus campos con nombre, en UTF-8\n"_s +
         csvSeparatorHelp();
}

QString exitHelp() {
  return u"\n"
         u"Salida: 0 si todo fue bien (también si no se encuentra nada), 1 si la base de datos\n"
         u"no se puede usar, 2 si la orden está mal escrita.\n"_s;
}

}  // namespace

OptionNames searchOptions() {
  return {{"--in", "--medium", "--limit", "--format", csvSeparatorOption()}};
}

OptionNames duplicatesOptions() {
  return {{"--medium", "--format", csvSeparatorOption()}};
}

int runSearchVerb(const ParsedArguments& parsed) {
  SearchRequest request;
  FoundOutput output;
  QString error = requestFrom(parsed, request);
  if (error.isEmpty()) {
    error = foundOutputFrom(parsed, output);
  }
  if (!error.isEmpty()) {
    return usageError("search", error);
  }
  return withDatabase([&] { return printFound(request, output); });
}

int runDuplicatesVerb(const ParsedArguments& parsed) {
  if (!parsed.positional.empty()) {
    return usageError("duplicates",
                      u"sobra el argumento %1"_s.arg(argumentText(parsed.positional.front())));
  }
  QString error;
  const std::optional<SearchMedium> medium = mediumFrom(parsed, error);
  FoundOutput output;
  if (error.isEmpty()) {
    error = foundOutputFrom(parsed, output);
  }
  if (!error.isEmpty()) {
    return usageError("duplicates", error);
  }
  return withDatabase([&] { return printDuplicates(*medium, output); });
}

QString searchHelp() {
  return u"Uso: quillet search TEXTO [--in CAMPO] [--medium cd|dir] [--limit N]\n"
         u"                      [--format tsv|csv|json] [--csv-separator comma|semicolon]\n"
         u"\n"
         u"Busca en todos los listados almacenados los archivos que contienen cada palabra del\n"
         u"TEXTO, sin distinguir mayúsculas ni acentos; una parte entre comillas dobles ha de\n"
         u"aparecer tal cual. Los archivos salen por orden de número de listado y de archivo.\n"_s +
         lineFormatHelp() +
         u"\n"
         u"Opciones:\n"
         u"  --in CAMPO           dónde buscar: todo (por omisión), artista, titulo, album,\n"
         u"                       comentario, genero, anyo, archivo, directorio o listado\n"_s +
         mediumHelp() + u"  --limit N            como mucho N archivos\n"_s + formatHelp() +
         helpOptionLine() + exitHelp();
}

QString duplicatesHelp() {
  return u"Uso: quillet duplicates [--medium cd|dir] [--format tsv|csv|json]\n"
         u"                          [--csv-separator comma|semicolon]\n"
         u"\n"
         u"Muestra los archivos almacenados más de una vez: los que tienen el mismo artista y\n"
         u"el mismo título (sin distinguir mayúsculas ni acentos) o, si les falta alguno de\n"
         u"los dos, el mismo nombre de archivo. Cada grupo de copias va seguido de una línea\n"
         u"en blanco que lo separa del siguiente.\n"_s +
         lineFormatHelp() +
         u"\n"
         u"Opciones:\n"_s +
         mediumHelp() + formatHelp() + helpOptionLine() + exitHelp();
}
