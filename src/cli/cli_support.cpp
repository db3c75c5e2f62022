#include "cli/cli_support.h"

#include "platform/output_file.h"
#include "platform/raw_directory.h"

#include <algorithm>
#include <cstdio>

#include <unistd.h>

using namespace Qt::StringLiterals;

void printError(const QString& line) {
  printNote(u"quillet: "_s + line);
}

void printNote(const QString& line) {
  const QByteArray bytes = (line + u'\n').toUtf8();
  std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stderr);
  std::fflush(stderr);
}

int usageError(const char* verb, const QString& line) {
  printError(line);
  printError(u"«quillet %1 --help» explica su uso"_s.arg(QLatin1StringView(verb)));
  return kExitUsage;
}

QString helpOptionLine() {
  return u"  -h, --help           muestra esta ayuda\n"_s;
}

// Through the one output writer, as listings sent to standard output are.
void printText(const QString& text) {
  writeOutputDescriptor(STDOUT_FILENO, text.toUtf8());
}

QString onOneLine(QString text) {
  for (QChar& c : text) {
    if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
      c = u'?';
    }
  }
  return text;
}

QString argumentText(const QByteArray& argument) {
  return displayName(argument);
}

std::optional<QString> optionText(const ParsedArguments& parsed, const QByteArray& name) {
  const auto it = parsed.options.find(name);
  return it == parsed.options.end() ? std::nullopt : std::optional(argumentText(it->second));
}

namespace {

bool isIn(const std::vector<QByteArray>& names, const QByteArray& name) {
  return std::find(names.cbegin(), names.cend(), name) != names.cend();
}

// One option; i moves past its value when the value is the next argument.
bool parseOption(const CliArguments& arguments, std::size_t& i, const OptionNames& names,
                 ParsedArguments& parsed, QString& error) {
  const QByteArray& argument = arguments[i];
  const qsizetype equals = argument.indexOf('=');
  const QByteArray name = equals < 0 ? argument : argument.left(equals);
  if (isIn(names.flags, name)) {
    if (equals >= 0) {
      error = u"la opción %1 no lleva valor"_s.arg(argumentText(name));
      return false;
    }
    parsed.flags.insert(name);
  } else if (!isIn(names.values, name)) {
    error = u"opción desconocida: %1"_s.arg(argumentText(name));
    return false;
  } else if (equals >= 0) {
    parsed.options[name] = argument.mid(equals + 1);
  } else if (i + 1 < arguments.size()) {
    parsed.options[name] = arguments[++i];
  } else {
    error = u"falta el valor de la opción %1"_s.arg(argumentText(name));
    return false;
  }
  return true;
}

}  // namespace

OptionNames noOptions() {
  return {};
}

std::optional<ParsedArguments> parseArguments(const CliArguments& arguments,
                                              const OptionNames& names, QString& error) {
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
    } else if (!parseOption(arguments, i, names, parsed, error)) {
      return std::nullopt;
    }
  }
  return parsed;
}
