#include "platform/gui_folder_chooser.h"

#include <QDir>
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
  const std::unique_ptr<QFileDialog> chooser = newFolderChooser(owner, prompt);
  if (chooser->exec() != QDialog::Accepted || chooser->selectedFiles().isEmpty()) {
    return {};
  }
  return chooser->selectedFiles().constFirst();
}

}  // namespace

QString folderChooserStart() {
  const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
  return QFileInfo(desktop).isDir() ? desktop : QDir::homePath();
}

std::unique_ptr<QFileDialog> newFolderChooser(QWidget* owner, const QString& prompt) {
  auto chooser = std::make_unique<QFileDialog>(owner, prompt, folderChooserStart());
  chooser->setFileMode(QFileDialog::Directory);
  chooser->setOption(QFileDialog::ShowDirsOnly);
  return chooser;
}

QString BrowseFolder(QWidget* owner, const QString& title) {
  const QString chosen = askUser(owner, title + u' ');
  return QFileInfo(chosen).isDir() ? chosen : QString();
}

void setFolderChooserAnswerer(FolderChooserAnswerer a) {
  answerer() = std::move(a);
}
