#pragma once

#include <functional>

class QWidget;

/** Ends the program at once; nothing else runs. */
void endProgramAtOnce();

/**
 * The database steps of start-up: opens the database, then creates a blank one when the file
 * is still missing. When either fails, the user is shown why (over parent) and endProgram
 * runs; returns whether the database is open.
 */
bool openDatabaseOrQuit(QWidget* parent,
                        const std::function<void()>& endProgram = endProgramAtOnce);
