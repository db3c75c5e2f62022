#pragma once

#include "cli/cli_support.h"

// `quillet copy-db --to CADCON [--from CADCON]`: every stored listing copied to another
// database, one line "old -> new" each.

OptionNames copyOptions();
int runCopyVerb(const ParsedArguments& parsed);
QString copyHelp();
