#pragma once

#include "cli/cli_support.h"

// The user's fields of a stored listing on the command line: shown with its recorded source,
// or set.

/**
 * `quillet props N`: one `clave<TAB>valor` line per field of stored listing N (its user fields,
 * then its recorded source's dates and identity); with `--ubicacion`, `--categoria`,
 * `--comentario` or `--prestado-a TEXT` sets those instead (an empty TEXT clears one).
 */
int runPropsVerb(const ParsedArguments& parsed);
OptionNames propsOptions();
QString propsHelp();
