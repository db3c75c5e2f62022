#pragma once

#include "cli/cli_support.h"

/**
 * `quillet stats [N] [--medium cd|dir] [--format txt|json]`: the figures of the stored
 * catalogue, or of stored listing N.
 */
int runStatsVerb(const ParsedArguments& parsed);

OptionNames statsOptions();
QString statsHelp();
