#pragma once

#include <QString>

#include <functional>

class QWidget;

/**
 * Opens on the desktop the folder locate gives. While it gives none, shows prompt over parent
 * with «Cancelar», without waiting for it, and asks locate again every second, opening the
 * folder and closing as soon as it gives one; «Cancelar» gives up.
 */
void openWhenPresent(QWidget* parent, const std::function<QString()>& locate,
                     const QString& prompt);
