#pragma once

#include <QWidget>

#include <array>
#include <memory>

#include "listing/saved_designs.h"
#include "output/export_template.h"
#include "output/template_library.h"
#include "scan/listing_model.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

/**
 * «Plantillas»: the presets and the user's templates, an editor of the five parts, the kind of
 * output, extension and encoding, a live preview on a listing (a copy of the one it was opened
 * from, or a small sample) and the field reference. Presets are read-only: «Copiar para
 * editar» makes a user template of one. A template that does not compile shows where and why,
 * and is not saved.
 */
class frm_templates : public QWidget {
  Q_OBJECT

 public:
  /** Opens the window over parent, previewing listing (a sample when null). */
  static frm_templates* open(QWidget* parent, const ListingModel* listing,
                             const LineDesigns& designs);

  /** The text under the editor: an error, the unknown fields, or how to edit a preset. */
  QString messageText() const;
  QString previewText() const;

 private:
  frm_templates(QWidget* parent, std::unique_ptr<ListingModel> listing, const LineDesigns& designs);

  void buildLayout();
  QWidget* buildEditor();
  void reloadList(const QString& select);
  void showEntry(int row);
  ExportTemplate edited() const;
  void refreshPreview();
  void saveEdited();
  void copyForEditing();
  void newTemplate();
  void deleteSelected();
  QString saveAs(const ExportTemplate& tmpl, const QString& path);

  std::unique_ptr<ListingModel> listing_;
  LineDesigns designs_;
  std::vector<TemplateEntry> entries_;
  bool loading_ = false;

  QListWidget* list_;
  QLineEdit* name_;
  QComboBox* kind_;
  QLineEdit* extension_;
  QComboBox* encoding_;
  std::array<QPlainTextEdit*, kTemplatePartCount> parts_{};
  QLabel* message_;
  QPlainTextEdit* preview_;
  QPushButton* save_;
  QPushButton* copy_;
  QPushButton* delete_;
};
