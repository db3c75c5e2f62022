#pragma once

#include <QString>

#include <functional>

/**
 * The start-up sequence, run once by the main window before it is shown: the caption (through
 * setCaption), the log file named by config.ini, the banner lines, and where the files live.
 */
void InitApp(const std::function<void(const QString& caption)>& setCaption);

/** Points the log at the file that config.ini names, in the directory of the program's files. */
void UseConfiguredLogFile();

/**
 * When the program directory cannot be written, one log line naming the user's directory that
 * holds the log, the database and the exports instead; nothing otherwise.
 */
void LogWhereFilesLive();

/**
 * The shutdown sequence: a "Cerrando <name>" line for every loaded window in loading order, the
 * database closed, the last line, the beep, and the end of the process. No window is asked; nothing
 * can cancel it.
 */
void Shutdown(const std::function<void()>& beep);

/**
 * What ends the process once the shutdown lines are written; by default an immediate exit that
 * runs no destructor and no other window's code. Tests install a recorder.
 */
using ProcessEnd = std::function<void()>;
void setProcessEnd(ProcessEnd end);
