#include "cli/cli_templates.h"

#include <QDir>
#include <QFileInfo>

#include "cli/cli_database.h"
#include "cli/cli_listing_output.h"
#include "cli/cli_table_output.h"
#include "output/template_catalogue.h"
#include "output/template_library.h"
#include "session/program_options.h"

using namespace Qt::StringLiterals;

namespace {

const QByteArray kTemplate = "--template";
const QByteArray kMedium = "--medium";
const QByteArray kOutput = "--output";

int exportCatalogue(const CompiledTemplate& tmpl, CatalogueMedium medium,
                    const std::optional<QByteArray>& file) {
  QString error;
  const std::optional<QByteArray> bytes =
      catalogueTemplateBytes(tmpl, medium, LoadSavedDesigns(), templateOutputDir(file),
                             LoadProgramOptions().exportEncoding, error);
  if (!bytes) {
    printError(error);
    return kExitFailure;
  }
  return writeVerbOutput(file, *bytes, u"el catálogo"_s);
}

}  // namespace

std::optional<CompiledTemplate> compiledTemplateFor(const QString& nameOrFile) {
  QString error;
  const std::optional<ExportTemplate> tmpl = findTemplate(nameOrFile, error);
  if (!tmpl) {
    printError(error);
    return std::nullopt;
  }
  QStringList warnings;
  std::optional<CompiledTemplate> compiled =
      CompiledTemplate::compile(*tmpl, &findTemplate, error, warnings);
  for (const QString& warning : warnings) {
    printError(u"aviso: plantilla «%1»: %2"_s.arg(tmpl->name, warning));
  }
  if (!compiled) {
    printError(u"plantilla «%1», %2"_s.arg(tmpl->name, error));
  }
  return compiled;
}

QString templateOutputDir(const std::optional<QByteArray>& file) {
  return file ? QFileInfo(QFile::decodeName(*file)).absolutePath() : QDir::currentPath();
}

OptionNames exportCatalogueOptions() {
  return {{kTemplate, kMedium, kOutput}};
}

int runTemplatesVerb(const ParsedArguments& parsed) {
  if (!parsed.positional.empty()) {
    return usageError("templates",
                      u"sobra el argumento %1"_s.arg(argumentText(parsed.positional.front())));
  }
  QString text;
  for (const TemplateEntry& entry : availableTemplates()) {
    text += entry.preset ? u"predefinida\t%1\n"_s.arg(entry.name)
                         : u"propia\t%1\t%2\n"_s.arg(entry.name, entry.path);
  }
  printText(text);
  return kExitOk;
}

int runExportCatalogueVerb(const ParsedArguments& parsed) {
  if (!parsed.positional.empty()) {
    return usageError("export-catalogue",
                      u"sobra el argumento %1"_s.arg(argumentText(parsed.positional.front())));
  }
  const std::optional<QString> name = optionText(parsed, kTemplate);
  if (!name || name->isEmpty()) {
    return usageError("export-catalogue", u"falta --template NOMBRE"_s);
  }
  const QString mediumKey = optionText(parsed, kMedium).value_or(QString());
  const CatalogueMedium medium = mediumKey == u"cd"    ? CatalogueMedium::Cd
                                 : mediumKey == u"dir" ? CatalogueMedium::Directory
                                                       : CatalogueMedium::All;
  if (!mediumKey.isEmpty() && medium == CatalogueMedium::All) {
    return usageError("export-catalogue",
                      u"medio desconocido: %1 (se admite cd o dir)"_s.arg(mediumKey));
  }
  std::optional<QByteArray> file;
  if (const auto it = parsed.options.find(kOutput);
      it != parsed.options.end() && it->second != "-") {
    file = it->second;
  }
  const std::optional<CompiledTemplate> tmpl = compiledTemplateFor(*name);
  if (!tmpl) {
    return kExitFailure;
  }
  return withDatabase([&] { return exportCatalogue(*tmpl, medium, file); });
}

QString templatesHelp() {
  return u"Uso: quillet templates\n"
         u"\n"
         u"Muestra las plantillas de exportación, una por línea: «predefinida» y su nombre\n"
         u"para las que trae el programa, «propia», su nombre y su archivo para las del\n"
         u"usuario (archivos .plantilla en "_s +
         QDir::toNativeSeparators(userTemplatesDir()) +
         u").\n"
         u"\n"
         u"Opciones:\n"_s +
         helpOptionLine() + u"\nSalida: 0 si todo fue bien, 2 si la orden está mal escrita.\n"_s;
}

QString exportCatalogueHelp() {
  return u"Uso: quillet export-catalogue --template NOMBRE|ARCHIVO [--medium cd|dir]\n"
         u"                                [--output ARCHIVO]\n"
         u"\n"
         u"Escribe todos los listados almacenados, por orden de número, con una plantilla de\n"
         u"exportación (véase «quillet templates»): un libro del catálogo.\n"
         u"\n"
         u"Opciones:\n"
         u"  --template NOMBRE|ARCHIVO\n"
         u"                       la plantilla, por su nombre o su archivo\n"
         u"  --medium cd|dir      sólo los listados de CD o sólo los de directorio\n"
         u"  --output ARCHIVO     escribe en ARCHIVO y no en la salida estándar\n"_s +
         helpOptionLine() +
         u"\n"
         u"Salida: 0 si todo fue bien, 1 si la plantilla no vale o la base de datos no se\n"
         u"puede usar, 2 si la orden está mal escrita.\n"_s;
}
