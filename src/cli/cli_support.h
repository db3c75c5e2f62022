#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <map>
#include <optional>
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

/** Writes text to standard output as UTF-8. */
void printText(const QString& text);

/** Writes bytes unchanged to standard output; false when they could not all be written. */
bool writeStandardOutput(QByteArrayView bytes);

/** An argument as text: UTF-8 when valid, otherwise Windows-1252. */
QString argumentText(const QByteArray& argument);

/** Points the log at the file that config.ini names, as the desktop program does. */
void useConfiguredLogFile();

struct ParsedArguments {
  bool help = false;
  std::map<QByteArray, QByteArray> options;  // "--name" -> value
  std::vector<QByteArray> positional;
};

/**
 * Parses "--name VALUE", "--name=VALUE", "-h"/"--help" and plain arguments ("--" ends the
 * options). valueOptions lists the accepted option names, each of which takes a value. On a
 * usage error returns nothing and sets error to a Spanish line.
 */
std::optional<ParsedArguments> parseArguments(const CliArguments& arguments,
                                              const std::vector<QByteArray>& valueOptions,
                                              QString& error);
