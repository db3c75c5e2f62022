#pragma once

#include <QString>

#include <functional>
#include <memory>

class QFileDialog;
class QWidget;

// The folder chooser of the directory scan. Tests install an answerer so no chooser ever waits
// on screen.

/**
 * Shows the folder chooser owned by owner, starting at folderChooserStart(), with title + " " as
 * its prompt. Returns the chosen folder's path, or empty text when the user cancels or the
 * answer is not an existing folder.
 */
QString BrowseFolder(QWidget* owner, const QString& title);

/** Answers in place of the chooser: given the owner and the prompt, the chosen path or empty
 *  text for a cancel. An empty answerer brings back the real chooser. */
using FolderChooserAnswerer = std::function<QString(QWidget* owner, const QString& prompt)>;
void setFolderChooserAnswerer(FolderChooserAnswerer answerer);

/** The user's desktop folder when there is one, otherwise the home folder. */
QString folderChooserStart();

/** The chooser BrowseFolder shows, not yet shown: folders only, at folderChooserStart(). */
std::unique_ptr<QFileDialog> newFolderChooser(QWidget* owner, const QString& prompt);
