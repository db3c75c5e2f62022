#include "cli/cli_table_output.h"

#include <unistd.h>

#include "platform/output_file.h"
#include "session/program_options.h"

using namespace Qt::StringLiterals;

QByteArray csvSeparatorOption() {
  return "--csv-separator";
}

QString csvSeparatorFrom(const ParsedArguments& parsed, CsvSeparator& separator) {
  separator = LoadProgramOptions().csvSeparator;
  const auto given = parsed.options.find(csvSeparatorOption());
  if (given == parsed.options.end()) {
    return {};
  }
  const std::optional<CsvSeparator> chosen = csvSeparatorFromKey(argumentText(given->second));
  if (!chosen) {
    return u"separador desconocido: %1 (se admite comma o semicolon)"_s.arg(
        argumentText(given->second));
  }
  separator = *chosen;
  return {};
}

QString csvSeparatorHelp() {
  return u"  --csv-separator comma|semicolon\n"
         u"                       separador de los campos en csv: coma o punto y coma (por\n"
         u"                       omisión, el elegido en Opciones; si no, la coma)\n"_s;
}

bool csvByteOrderMark(const std::optional<QByteArray>& file) {
  return file.has_value() || isatty(STDOUT_FILENO) == 0;
}

int writeVerbOutput(const std::optional<QByteArray>& file, const QByteArray& bytes,
                    const QString& what) {
  if (!file) {
    if (const QString failure = writeOutputDescriptor(STDOUT_FILENO, bytes); !failure.isEmpty()) {
      printError(u"no se puede escribir %1 en la salida estándar: %2"_s.arg(what, failure));
      return kExitFailure;
    }
    return kExitOk;
  }
  if (const QString failure = writeOutputFile(*file, bytes); !failure.isEmpty()) {
    printError(u"no se puede escribir %1: %2"_s.arg(argumentText(*file), failure));
    return kExitFailure;
  }
  return kExitOk;
}
