#pragma once

#include "cli/cli_support.h"

// The verbs that find files across every stored listing.

/** `quillet search TEXT [--in FIELD] [--medium cd|dir] [--limit N]`: one line per file found. */
int runSearchVerb(const ParsedArguments& parsed);

/** `quillet duplicates [--medium cd|dir]`: the files stored more than once, group by group. */
int runDuplicatesVerb(const ParsedArguments& parsed);

OptionNames searchOptions();
OptionNames duplicatesOptions();
QString searchHelp();
QString duplicatesHelp();
