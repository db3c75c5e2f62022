#pragma once

#include "cli/cli_support.h"

/**
 * `quillet scan DIR [--dir-design TEXT] [--file-design TEXT] [--format txt|html]
 * [--output FILE] [--store]`: scans DIR as the desktop program's directory scan does (same log
 * lines in the log file) and writes the export bytes of the listing to FILE or standard output.
 * With --store it first stores the listing as the listing window's "2bd" does and tells its
 * number on standard error; without it the database is never opened. Never saves designs.
 */
int runScanVerb(const ParsedArguments& parsed);

/** The listing output options and --store. */
OptionNames scanOptions();

/** The verb's help, in Spanish. */
QString scanHelp();
