#include "platform/gui_save_chooser.h"

#include <QFileDialog>

namespace {

SaveChooserAnswerer& answerer() {
  static SaveChooserAnswerer a;
  return a;
}

}  // namespace

QString ChooseSaveFile(QWidget* owner, const SaveRequest& request) {
  if (answerer()) {
    return answerer()(owner, request);
  }
  QFileDialog dialog(owner, request.title, request.proposed, request.filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(request.suffix);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return {};
  }
  return dialog.selectedFiles().constFirst();
}

void setSaveChooserAnswerer(SaveChooserAnswerer a) {
  answerer() = std::move(a);
}
