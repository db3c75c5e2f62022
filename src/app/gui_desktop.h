#pragma once

/** Starts the desktop program and runs its event loop until the main window ends it. */
int runDesktop(int& argc, char** argv);
