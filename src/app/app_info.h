#pragma once

#include <QString>

/** "Quillet v.0.1.0": product name, " v." and the build's version numbers. */
QString AppTitle();

/** "Quillet v0.1.0": the about box's version text (no point after the v). */
QString VersionText();

/**
 * The directory that holds what ships with the program: the executable, config.ini, the blank
 * database template and the help pages.
 */
QString ProgramDir();

/** Full path of a shipped file in the program directory. */
QString ProgramFile(const QString& name);

/**
 * The directory that holds what the program writes: the log, the database and its backup, the
 * exports. It is the program directory when the user can write it, otherwise the user's data
 * directory ($XDG_DATA_HOME/Quillet), created when first needed. Decided once per program
 * directory; every writer asks here.
 */
QString FilesDir();

/** Full path of a file the program writes, in FilesDir(). */
QString UserFile(const QString& name);

/**
 * The config.ini to read: the user's own one in FilesDir() when the files live apart from the
 * program directory and the user has put one there, otherwise the shipped one.
 */
QString ConfigIniPath();

/** True when FilesDir() is not the program directory. */
bool FilesLiveApart();

/** Points the program directory elsewhere; tests use it to stay off the build directory. */
void setProgramDir(const QString& dir);
