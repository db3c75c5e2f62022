#pragma once

/** Runs one command-line verb (`quillet scan DIR ...`); returns the process exit code. */
int runCommandLine(int argc, char** argv);
