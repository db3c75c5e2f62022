#pragma once

#include <QString>

#include <functional>

class QWidget;

// The save dialog of the files the user names (a listing saved as PDF). Tests install an
// answerer so no dialog ever waits on screen.

/** What a save dialog asks: its title, the path it proposes, and the kind of file. */
struct SaveRequest {
  QString title;
  QString proposed;  // full path of the proposed file
  QString filter;    // "PDF (*.pdf)"
  QString suffix;    // added to a name typed without one: "pdf"
};

/**
 * Shows the save dialog owned by owner; it asks before replacing a file that exists. Returns
 * the chosen path, or empty text when the user cancels.
 */
QString ChooseSaveFile(QWidget* owner, const SaveRequest& request);

/** Answers in place of the dialog: the chosen path, or empty text for a cancel. An empty
 *  answerer brings back the real dialog. */
using SaveChooserAnswerer = std::function<QString(QWidget* owner, const SaveRequest& request)>;
void setSaveChooserAnswerer(SaveChooserAnswerer answerer);
