#include "cli/cli.h"

#include <QCoreApplication>

#include <array>

#include "cli/cli_copy.h"
#include "cli/cli_listing_output.h"
#include "cli/cli_props.h"
#include "cli/cli_scan.h"
#include "cli/cli_search.h"
#include "cli/cli_serve.h"
#include "cli/cli_stats.h"
#include "cli/cli_stored.h"
#include "cli/cli_support.h"
#include "cli/cli_templates.h"
#include "cli/cli_update.h"

using namespace Qt::StringLiterals;

namespace {

// A new verb is one more row here: its options, its help and its work on the parsed arguments.
struct Verb {
  const char* name;
  const char16_t* summary;
  OptionNames (*options)();
  QString (*help)();
  int (*run)(const ParsedArguments& parsed);
};

constexpr std::array kVerbs = {
    Verb{"scan", u"escanea un directorio y escribe su listado (con --store, también lo almacena)",
         &scanOptions, &scanHelp, &runScanVerb},
    Verb{"list", u"muestra los listados almacenados en la base de datos", &listOptions, &listHelp,
         &runListVerb},
    Verb{"show", u"escribe un listado almacenado", &listingOutputOptions, &showHelp, &runShowVerb},
    Verb{"delete", u"borra un listado almacenado", &noOptions, &deleteHelp, &runDeleteVerb},
    Verb{"props", u"muestra o cambia la ubicación y las demás propiedades de un listado",
         &propsOptions, &propsHelp, &runPropsVerb},
    Verb{"update", u"pone al día un listado almacenado con su origen", &updateOptions, &updateHelp,
         &runUpdateVerb},
    Verb{"search", u"busca archivos en todos los listados almacenados", &searchOptions, &searchHelp,
         &runSearchVerb},
    Verb{"duplicates", u"muestra los archivos almacenados más de una vez", &duplicatesOptions,
         &duplicatesHelp, &runDuplicatesVerb},
    Verb{"stats", u"muestra las estadísticas de los listados almacenados", &statsOptions,
         &statsHelp, &runStatsVerb},
    Verb{"copy-db", u"copia los listados almacenados a otra base de datos", &copyOptions, &copyHelp,
         &runCopyVerb},
    Verb{"templates", u"muestra las plantillas de exportación", &noOptions, &templatesHelp,
         &runTemplatesVerb},
    Verb{"export-catalogue", u"escribe todos los listados almacenados con una plantilla",
         &exportCatalogueOptions, &exportCatalogueHelp, &runExportCatalogueVerb},
    Verb{"serve", u"sirve el catálogo, sólo para leer, a los navegadores de la casa", &serveOptions,
         &serveHelp, &runServeVerb},
};

QString generalHelp() {
  QString help =
      u"Uso: quillet [ORDEN [ARGUMENTOS]]\n"
      u"\n"
      u"Sin argumentos, abre el programa de escritorio. Con una orden, trabaja en la\n"
      u"terminal sin abrir ninguna ventana.\n"
      u"\n"
      u"Órdenes:\n"_s;
  for (const Verb& verb : kVerbs) {
    help += u"  %1  %2\n"_s.arg(QString::fromLatin1(verb.name).leftJustified(16),
                                QString::fromUtf16(verb.summary));
  }
  help +=
      u"\n"
      u"  -h, --help  muestra esta ayuda\n"
      u"\n"
      u"«quillet ORDEN --help» explica cada orden.\n"_s;
  return help;
}

const Verb* findVerb(const QByteArray& name) {
  for (const Verb& verb : kVerbs) {
    if (name == verb.name) {
      return &verb;
    }
  }
  return nullptr;
}

int runVerb(const Verb& verb, const CliArguments& arguments) {
  QString error;
  const std::optional<ParsedArguments> parsed = parseArguments(arguments, verb.options(), error);
  if (!parsed) {
    return usageError(verb.name, error);
  }
  if (parsed->help) {
    printText(verb.help());
    return kExitOk;
  }
  return verb.run(*parsed);
}

}  // namespace

int runCommandLine(int argc, char** argv) {
  // The program directory, the settings store and the log all need the application object.
  QCoreApplication app(argc, argv);
  const QByteArray first = argv[1];
  if (first == "-h" || first == "--help") {
    printText(generalHelp());
    return kExitOk;
  }
  const Verb* verb = findVerb(first);
  if (verb == nullptr) {
    printError(
        u"orden desconocida: %1 («quillet --help» muestra las órdenes)"_s.arg(argumentText(first)));
    return kExitUsage;
  }
  return runVerb(*verb, CliArguments(argv + 2, argv + argc));
}
