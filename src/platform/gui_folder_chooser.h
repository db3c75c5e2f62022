#pragma once

#include <QString>

#include <functional>

class QWidget;

// The folder chooser of the directory scan. Tests install an answerer so no chooser ever waits
// on screen.

/**
 * Shows the folder chooser owned by owner, starting at the desktop folder, with title + " " as
 * its prompt. Returns the chosen folder's path, or empty text when the user cancels or the
 * answer is not an existing folder.
 */
QString BrowseFolder(QWidget* owner, const QString& title);

/** Answers in place of the chooser: given the owner and the prompt, the chosen path or empty
 *  text for a cancel. An empty answerer brings back the real chooser. */
using FolderChooserAnswerer = std::function<QString(QWidget* owner, const QString& prompt)>;
void setFolderChooserAnswerer(FolderChooserAnswerer answerer);
