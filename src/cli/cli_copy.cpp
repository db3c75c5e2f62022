#include "cli/cli_copy.h"

#include "cli/cli_database.h"
#include "db/catalogue_copy.h"
#include "db/db_connection.h"
#include "db/mod_bd.h"

using namespace Qt::StringLiterals;

namespace {

int copyFrom(DbConnection& source, const QString& to) {
  DbConnection target;
  if (const QString failure = openCopyTarget(target, to); !failure.isEmpty()) {
    printError(u"no se puede abrir la base de datos de destino: "_s + failure);
    return kExitFailure;
  }
  bool failed = false;
  QString reason;
  const bool read = copyCatalogue(
      source, target,
      [&](const CopiedListing& copied) {
        if (!copied.error.isEmpty() || copied.to == 0) {
          failed = true;
          printError(
              u"no se ha podido copiar el listado %1: %2"_s.arg(copied.from).arg(copied.error));
        } else if (copied.already) {
          printText(u"%1 -> %2 (ya estaba en el destino; no se copia)\n"_s.arg(copied.from)
                        .arg(copied.to));
        } else {
          printText(u"%1 -> %2\n"_s.arg(copied.from).arg(copied.to));
        }
      },
      reason);
  if (!read) {
    printError(u"no se pueden leer los listados de la base de datos de origen: "_s + reason);
    return kExitFailure;
  }
  return failed ? kExitFailure : kExitOk;
}

}  // namespace

OptionNames copyOptions() {
  return {{"--to", "--from"}};
}

int runCopyVerb(const ParsedArguments& parsed) {
  if (!parsed.positional.empty()) {
    return usageError("copy-db",
                      u"sobra el argumento %1"_s.arg(argumentText(parsed.positional.front())));
  }
  const auto to = parsed.options.find("--to");
  if (to == parsed.options.end()) {
    return usageError("copy-db", u"falta --to CADENA_DE_CONEXIÓN"_s);
  }
  const QString target = argumentText(to->second);
  const auto from = parsed.options.find("--from");
  if (from == parsed.options.end()) {
    return withDatabase([&] { return copyFrom(BdConnection(), target); });
  }
  DbConnection source;
  if (const QString failure = openCopySource(source, argumentText(from->second));
      !failure.isEmpty()) {
    printError(failure);
    return kExitFailure;
  }
  return copyFrom(source, target);
}

QString copyHelp() {
  return u"Uso: quillet copy-db --to CADENA [--from CADENA]\n"
         u"\n"
         u"Copia todos los listados almacenados de la base de datos configurada (o de la que\n"
         u"nombra --from) a otra: un servidor (Provider=QPSQL;Database=...;Host=...;) o un\n"
         u"archivo (Provider=QSQLITE;Data Source=RUTA, que se crea vacío si no existe). Cada\n"
         u"listado conserva su número si está libre en el destino y, si no, toma el más alto\n"
         u"más uno; se escribe una línea «antiguo -> nuevo» por listado. Un listado idéntico\n"
         u"a uno que ya está en el destino (nombre, medio y todas sus filas) no se copia, así\n"
         u"que repetir la copia no duplica nada y dos listados idénticos del origen llegan\n"
         u"una sola vez. Si un listado no se puede copiar, el destino queda como estaba para\n"
         u"él, se nombra, se copian los demás y la salida es 1.\n"
         u"\n"
         u"Opciones:\n"
         u"  --to CADENA    la base de datos de destino\n"
         u"  --from CADENA  la base de datos de origen (si no, la de config.ini)\n"_s +
         helpOptionLine();
}
