#pragma once

#include <QString>

#include <functional>

class QDialog;
class QWidget;

/** The wait box's own names: its object name, for tests, and its title. */
struct WaitBoxNames {
  QString objectName;
  QString title;
};

/**
 * Shows prompt() over parent with «Cancelar», without waiting for it, and asks locate again
 * every second (and prompt, whose text may change meanwhile), handing what it gives to take and
 * closing as soon as take takes it; «Cancelar» gives up. Returns the box, which goes when it
 * closes, so the caller may add buttons of its own.
 */
QDialog* waitUntilPresent(QWidget* parent, const WaitBoxNames& names,
                          const std::function<QString()>& locate,
                          const std::function<QString()>& prompt,
                          const std::function<bool(const QString& folder)>& take);

/**
 * Opens on the desktop the folder locate gives. While it gives none, waits as waitUntilPresent
 * does, opening the folder as soon as locate gives one.
 */
void openWhenPresent(QWidget* parent, const std::function<QString()>& locate,
                     const QString& prompt);
