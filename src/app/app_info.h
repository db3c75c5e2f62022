#pragma once

#include <QString>

/** "Quillet v.0.1.0": product name, " v." and the build's version numbers. */
QString AppTitle();

/** "Quillet v0.1.0": the about box's version text (no point after the v). */
QString VersionText();

/** The directory that holds the program's own files: config.ini, the log, the database. */
QString ProgramDir();

/** Full path of a file in the program directory. */
QString ProgramFile(const QString& name);

/** Points the program directory elsewhere; tests use it to stay off the build directory. */
void setProgramDir(const QString& dir);
