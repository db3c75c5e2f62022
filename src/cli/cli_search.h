#pragma once

#include <optional>

#include "cli/cli_support.h"
#include "search/catalogue_search.h"

// The verbs that find files across every stored listing.

/** `quillet search TEXT [--in FIELD] [--medium cd|dir] [--limit N]`: one line per file found. */
int runSearchVerb(const ParsedArguments& parsed);

/** `quillet duplicates [--medium cd|dir]`: the files stored more than once, group by group. */
int runDuplicatesVerb(const ParsedArguments& parsed);

/** The --medium option: Todos when absent, nothing (and error set) when it names no medium. */
std::optional<SearchMedium> mediumFrom(const ParsedArguments& parsed, QString& error);
/** Its help line. */
QString mediumHelp();

OptionNames searchOptions();
OptionNames duplicatesOptions();
QString searchHelp();
QString duplicatesHelp();
