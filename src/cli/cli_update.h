#pragma once

#include "cli/cli_support.h"

/**
 * `quillet update N [--from DIR] [--dry-run] [--reread] [--force]`: finds stored listing N's
 * source, compares it file by file with what is stored and stores it over the listing, keeping
 * its number. --dry-run prints the comparison and changes nothing.
 */
int runUpdateVerb(const ParsedArguments& parsed);

OptionNames updateOptions();

/** The verb's help, in Spanish. */
QString updateHelp();
