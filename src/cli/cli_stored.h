#pragma once

#include "cli/cli_support.h"

// The verbs on the listings stored in the database. Each opens the database as the desktop
// program does at start-up and closes it at the end.

/**
 * `quillet list [--long]`: one line per stored listing: number, TAB, CD or DIR, TAB, name; with
 * --long then its location, category, files, last update and incomplete mark, TAB-separated.
 */
int runListVerb(const ParsedArguments& parsed);
OptionNames listOptions();

/**
 * `quillet show N [--dir-design TEXT] [--file-design TEXT] [--format txt|html] [--output FILE]`:
 * loads stored listing N as the stored-listings window opens it and writes it as `scan` does.
 */
int runShowVerb(const ParsedArguments& parsed);

/** `quillet delete N`: deletes stored listing N as the stored-listings window's "Borrar" does. */
int runDeleteVerb(const ParsedArguments& parsed);

/** The one plain argument as a listing number; a Spanish usage error, or empty text. */
QString listingNumberFrom(const ParsedArguments& parsed, int& number);

/** The verbs' help texts, in Spanish. */
QString listHelp();
QString showHelp();
QString deleteHelp();
