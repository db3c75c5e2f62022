#pragma once

#include <QString>

#include <functional>

/** Full path of the log file; set once at start-up. */
QString LogFilePath();
void setLogFilePath(const QString& path);

/**
 * Receives every log line for the main window's log list. Until a window installs one, lines
 * only go to the file.
 */
using LogListSink = std::function<void(const QString& line)>;
void setLogListSink(LogListSink sink);

/**
 * The program's single progress channel: appends the message and CR LF to the log file (kept
 * open between lines, opened again when its path changes or the file was removed) and hands it to
 * the log list. When the file cannot be written the program goes on; the first such failure adds
 * one explaining line to the log list. A line of another thread is written when the main thread's
 * events next run.
 */
void WriteLog(const QString& message);
