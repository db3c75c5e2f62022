#include "cli/cli_support.h"

#include "app/app_info.h"
#include "app/ini_reader.h"
#include "app/log.h"
#include "platform/raw_directory.h"

#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;

void printError(const QString& line) {
  const QByteArray bytes = (u"quillet: "_s + line + u'\n').toUtf8();
  std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stderr);
  std::fflush(stderr);
}

void printText(const QString& text) {
  writeStandardOutput(text.toUtf8());
}

bool writeStandardOutput(QByteArrayView bytes) {
  const std::size_t size = static_cast<std::size_t>(bytes.size());
  const bool written = std::fwrite(bytes.data(), 1, size, stdout) == size;
  return std::fflush(stdout) == 0 && written;
}

QString argumentText(const QByteArray& argument) {
  return displayName(argument);
}

void useConfiguredLogFile() {
  setLogFilePath(ProgramDir() + u'/' +
                 ReadIni(u"log"_s, u"logfile"_s, ProgramFile(u"config.ini"_s)));
}

namespace {

bool isValueOption(const std::vector<QByteArray>& valueOptions, const QByteArray& name) {
  return std::find(valueOptions.cbegin(), valueOptions.cend(), name) != valueOptions.cend();
}

}  // namespace

std::optional<ParsedArguments> parseArguments(const CliArguments& arguments,
                                              const std::vector<QByteArray>& valueOptions,
                                              QString& error) {
  ParsedArguments parsed;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const QByteArray& argument = arguments[i];
    if (optionsEnded || !argument.startsWith('-') || argument == "-") {
      parsed.positional.push_back(argument);
    } else if (argument == "--") {
      optionsEnded = true;
    } else if (argument == "-h" || argument == "--help") {
      parsed.help = true;
    } else {
      const qsizetype equals = argument.indexOf('=');
      const QByteArray name = equals < 0 ? argument : argument.left(equals);
      if (!isValueOption(valueOptions, name)) {
        error = u"opción desconocida: %1"_s.arg(argumentText(name));
        return std::nullopt;
      }
      if (equals >= 0) {
        parsed.options[name] = argument.mid(equals + 1);
      } else if (i + 1 < arguments.size()) {
        parsed.options[name] = arguments[++i];
      } else {
        error = u"falta el valor de la opción %1"_s.arg(argumentText(name));
        return std::nullopt;
      }
    }
  }
  return parsed;
}
