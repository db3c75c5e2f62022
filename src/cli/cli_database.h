#pragma once

#include <QtGlobal>

#include <functional>

// The database as the command-line verbs use it.

/**
 * Runs work with the program's database open as the desktop program opens it at start-up
 * (quillet.mdb in the program directory, created from the blank template when missing,
 * config.ini's cadcon, its lines in the configured log file), then closes it with CloseBd.
 * A database that cannot be used is reported on standard error, work never runs and the
 * failure exit code is returned; otherwise work's exit code.
 */
int withDatabase(const std::function<int()>& work);

/**
 * 0 when listing rpId is stored; otherwise reports that it is missing, or that the database
 * cannot say, and returns the failure exit code.
 */
int requireStoredListing(int rpId);

/** One "aviso:" line on standard error when listing rpId is marked incomplete. */
void warnIfIncomplete(int rpId);
