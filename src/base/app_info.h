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

/** The user's own config.ini, in the user's data directory ($XDG_DATA_HOME/Quillet). */
QString UserConfigIniPath();

/**
 * A setting of config.ini: the user's own config.ini first, key by key, whenever it exists,
 * then the shipped one; so a user file holding only [bd] cadcon keeps the shipped [log].
 */
QString ReadConfig(const QString& section, const QString& key);

/** True when FilesDir() is not the program directory. */
bool FilesLiveApart();

/** Points the program directory elsewhere; tests use it to stay off the build directory. */
void setProgramDir(const QString& dir);
