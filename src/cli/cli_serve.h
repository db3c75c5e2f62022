#pragma once

#include "cli/cli_support.h"

/**
 * `quillet serve [--listen ADDRESS:PORT] [--clave TEXT]`: the catalogue, read-only, to the
 * browsers of the house until interrupted; one line per request on standard error.
 */
int runServeVerb(const ParsedArguments& parsed);

OptionNames serveOptions();

/** The verb's help, in Spanish. */
QString serveHelp();
