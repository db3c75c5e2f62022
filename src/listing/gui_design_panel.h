#pragma once

#include <QFrame>

#include "listing/saved_designs.h"

class QComboBox;
class QLabel;
class QLineEdit;

/**
 * The listing window's floating design panel (Frame1): the directory design (Text2) and the
 * file design (Text1), each with its placeholder picker (Combo2, Combo1) and insert button
 * (Command4, Command1), plus the button that opens the placeholder reference (Command6) and,
 * while the options do not read the technical fields, the hint that says where to (Label3).
 */
class DesignPanel : public QFrame {
  Q_OBJECT

 public:
  explicit DesignPanel(QWidget* parent);

  LineDesigns designs() const;
  void setDesigns(const LineDesigns& designs);

  /**
   * Refills both pickers with their placeholder entries, with no entry chosen; the technical
   * fields' entries come last, only while the options read them; the hint shows otherwise.
   */
  void fillPickers();

 private:
  QLineEdit* addDesignField(const QString& name, const QRect& geometry);
  QComboBox* addPicker(const QString& name, const QRect& geometry);
  void addLabel(const QString& name, const QString& text, const QRect& geometry);
  void addInsertButton(const QString& name, const QRect& geometry, QComboBox* picker,
                       QLineEdit* design);
  void addReferenceButton();

  QLineEdit* dirDesign_;
  QComboBox* dirPicker_;
  QLineEdit* fileDesign_;
  QComboBox* filePicker_;
  QLabel* technicalHint_;
};

/**
 * Inserts the token of picker's chosen entry (its first seven characters, trimmed) into design
 * at the caret, or at the start of the selection, and leaves the caret right after it. With no
 * entry chosen nothing changes.
 */
void insertPlaceholder(const QComboBox& picker, QLineEdit& design);
