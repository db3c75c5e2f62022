#pragma once

#include <QString>

#include "cli/cli_support.h"

/**
 * `quillet scan DIR [--dir-design TEXT] [--file-design TEXT] [--format txt|html]
 * [--output FILE]`: scans DIR as the desktop program's directory scan does (same log lines in
 * the log file) and writes the export bytes of the listing to FILE or standard output. Never
 * saves designs and never opens the database.
 */
int runScanVerb(const CliArguments& arguments);

/** The verb's help text, in Spanish. */
QString scanHelp();
