#pragma once

#include <QString>

/**
 * Hands target (a document path, a web address or a mailto: link) to the desktop's "open".
 * Failures are not reported: the desktop shows whatever it shows.
 */
void ShellOpen(const QString& target);

/** Opens history.html of the program directory. */
void OpenHistory();

/** Opens reference.html, the placeholder reference, of the program directory. */
void OpenReference();
