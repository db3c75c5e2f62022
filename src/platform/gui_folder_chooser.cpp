#include "platform/gui_folder_chooser.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

FolderChooserAnswerer& answerer() {
  static FolderChooserAnswerer a;
  return a;
}

QString askUser(QWidget* owner, const QString& prompt) {
  if (answerer()) {
    return answerer()(owner, prompt);
  }
  return QFileDialog::getExistingDirectory(
      owner, prompt, QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
}

}  // namespace

QString BrowseFolder(QWidget* owner, const QString& title) {
  const QString chosen = askUser(owner, title + u' ');
  return QFileInfo(chosen).isDir() ? chosen : QString();
}

void setFolderChooserAnswerer(FolderChooserAnswerer a) {
  answerer() = std::move(a);
}
