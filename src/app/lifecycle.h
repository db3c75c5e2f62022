#pragma once

#include <QString>

#include <functional>

/**
 * The start-up sequence, run once by the main window before it is shown: the caption (through
 * setCaption), the log file named by config.ini, and the banner lines.
 */
void InitApp(const std::function<void(const QString& caption)>& setCaption);

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
