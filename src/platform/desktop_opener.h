#pragma once

#include <QString>

#include <functional>

// The desktop's "open": hands a file, web address or mail link to the program the desktop
// associates with it, without waiting. The windows install the real opener at start-up; tests
// install a recorder, and the command line has none.

/** Opens target (an absolute path, or a URL with its scheme); false when nothing could. */
using DesktopOpenHandler = std::function<bool(const QString& target)>;

void setDesktopOpenHandler(DesktopOpenHandler handler);

/** Hands target to the installed opener; false when there is none or it failed. */
bool openOnDesktop(const QString& target);
