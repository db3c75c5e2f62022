#include "cli/cli_update.h"

#include "cli/cli_database.h"
#include "cli/cli_listing_output.h"
#include "cli/cli_stored.h"
#include "db/listing_update.h"
#include "search/search_index.h"
#include "session/lifecycle.h"
#include "session/program_options.h"

using namespace Qt::StringLiterals;

namespace {

const QByteArray kFrom = "--from";
const QByteArray kDryRun = "--dry-run";
const QByteArray kReread = "--reread";
const QByteArray kForce = "--force";

// One line per file, as its kind's sign and its path from the source's root.
void printFiles(QChar sign, const QStringList& paths) {
  for (const QString& path : paths) {
    printText(sign + u' ' + (path.startsWith(u'/') ? path.mid(1) : path) + u'\n');
  }
}

QString countsText(const UpdatePlan& plan) {
  return u"%1 añadidos, %2 quitados, %3 cambiados, %4 sin cambios"_s.arg(plan.added.size())
      .arg(plan.removed.size())
      .arg(plan.changed.size())
      .arg(plan.unchanged);
}

int update(const UpdateRequest& request, bool force) {
  UseConfiguredLogFile();
  const ProgramOptions options = LoadProgramOptions();
  QString error;
  const std::optional<UpdatePlan> plan = planUpdate(request, {options.tags, options.limits}, error);
  if (!plan) {
    printError(error);
    return kExitFailure;
  }
  if (plan->savedChoices) {
    printError(
        u"aviso: el listado nº %1 no guardó sus opciones de escaneo: se usan las de "
        u"Opciones"_s.arg(request.rpId));
  }
  if (request.dryRun) {
    printFiles(u'+', plan->added);
    printFiles(u'-', plan->removed);
    printFiles(u'~', plan->changed);
    printText(countsText(*plan) + u'\n');
    return kExitOk;
  }
  if (plan->halfChanged() && !force) {
    printError(u"%1 (%2; --force lo aplica)"_s.arg(halfChangedText(), countsText(*plan)));
    return kExitFailure;
  }
  if (error = applyUpdate(*plan); !error.isEmpty()) {
    printError(u"no se ha podido actualizar el listado nº %1: %2"_s.arg(request.rpId).arg(error));
    return kExitFailure;
  }
  indexStoredListing();
  printNote(u"Listado nº %1 actualizado: %2"_s.arg(request.rpId).arg(countsText(*plan)));
  return kExitOk;
}

}  // namespace

OptionNames updateOptions() {
  return {{kFrom}, {kDryRun, kReread, kForce}};
}

int runUpdateVerb(const ParsedArguments& parsed) {
  UpdateRequest request;
  if (const QString error = listingNumberFrom(parsed, request.rpId); !error.isEmpty()) {
    return usageError("update", error);
  }
  if (const std::optional<QString> from = optionText(parsed, kFrom)) {
    request.from = *from;
  }
  request.dryRun = parsed.flags.contains(kDryRun);
  request.reread = parsed.flags.contains(kReread);
  const bool force = parsed.flags.contains(kForce);
  return withDatabase([&] { return update(request, force); });
}

QString updateHelp() {
  return u"Uso: quillet update N [--from DIR] [--dry-run] [--reread] [--force]\n"
         u"\n"
         u"Pone al día el listado almacenado con el número N (véase «quillet list»): busca su\n"
         u"origen (el disco o la carpeta con la identidad guardada, o la ruta guardada), lo\n"
         u"recorre con las opciones de escaneo del listado y lo compara archivo por archivo\n"
         u"con lo almacenado. Sólo se leen los archivos añadidos y los cambiados (otro tamaño\n"
         u"u otra hora de modificación). El listado conserva su número y su nombre; sus filas\n"
         u"pasan a ser las que guardaría un escaneo nuevo, en una sola transacción.\n"
         u"\n"
         u"Opciones:\n"
         u"  --from DIR           el origen está en DIR\n"
         u"  --dry-run            sólo escribe la comparación, una línea por archivo (+ añadido,\n"
         u"                       - quitado, ~ cambiado) y los totales; no cambia nada\n"
         u"  --reread             vuelve a leer todos los archivos\n"
         u"  --force              actualiza aunque cambiaría más de la mitad de los archivos\n"_s +
         helpOptionLine() +
         u"\n"
         u"Salida: 0 si todo fue bien, 1 si el listado o su origen no están, cambiaría más de\n"
         u"la mitad de los archivos sin --force o la base de datos no se puede usar, 2 si la\n"
         u"orden está mal escrita.\n"_s;
}
