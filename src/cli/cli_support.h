#pragma once

#include <QByteArray>
#include <QString>

#include <map>
#include <optional>
#include <set>
#include <vector>

// What every command-line verb shares: its arguments, exit codes, terminal output (UTF-8 with
// LF) and the option parser.

/** The arguments after the verb, as the bytes the shell passed. */
using CliArguments = std::vector<QByteArray>;

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

/** Writes "quillet: " + line to standard error. */
void printError(const QString& line);

/** Writes an informative line, as it stands, to standard error. */
void printNote(const QString& line);

/**
 * Writes line to standard error with a pointer to the verb's help; returns the usage exit code.
 */
int usageError(const char* verb, const QString& line);

/** The help line of -h/--help, as every verb's help ends its options with it. */
QString helpOptionLine();

/** Writes text to standard output as UTF-8. */
void printText(const QString& text);

/** The text with its control characters as '?': a tab or a line break would break a line. */
QString onOneLine(QString text);

/** An argument as text: UTF-8 when valid, otherwise Windows-1252. */
QString argumentText(const QByteArray& argument);

struct ParsedArguments {
  bool help = false;
  std::map<QByteArray, QByteArray> options;  // "--name" -> value
  std::set<QByteArray> flags;                // "--name" given without a value
  std::vector<QByteArray> positional;
};

/** The text of option name when it was given. */
std::optional<QString> optionText(const ParsedArguments& parsed, const QByteArray& name);

/** The options a verb accepts: those that take a value and those that stand alone. */
struct OptionNames {
  std::vector<QByteArray> values;
  std::vector<QByteArray> flags = {};
};

/** The options of a verb that takes none. */
OptionNames noOptions();

/**
 * Parses "--name VALUE", "--name=VALUE", "--flag", "-h"/"--help" and plain arguments ("--" ends
 * the options). On a usage error returns nothing and sets error to a Spanish line.
 */
std::optional<ParsedArguments> parseArguments(const CliArguments& arguments,
                                              const OptionNames& names, QString& error);
