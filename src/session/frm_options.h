#pragma once

#include <QWidget>

#include "base/loaded_forms.h"
#include "session/program_options.h"

class QCheckBox;
class QComboBox;

/**
 * The options window: where tags come from (Combo1), the code page of ID3v1 texts (Combo2), the
 * encoding of the exports (Combo3), how much of a tree a scan lists (Combo4), which files are
 * listed (Combo5) and whether their duration and quality are read (Check1), and the separator
 * of CSV exports (Combo6). "Aceptar" (Command1) saves the choices and closes it; "Cancelar"
 * (Command2) closes it. At most one exists.
 */
class frm_options : public QWidget {
  Q_OBJECT

 public:
  /** Shows the window with the saved choices, creating it when none is open. */
  static frm_options* showInstance(QWidget* parent = nullptr);

  /** The choices as the window shows them. */
  ProgramOptions chosen() const;

 private:
  explicit frm_options(QWidget* parent);

  QComboBox* addChoice(const QString& name, const QString& caption, int row);
  void showOptions(const ProgramOptions& options);
  void accept();

  LoadedForm m_loaded{QStringLiteral("frm_options")};
  QComboBox* m_tags = nullptr;
  QComboBox* m_codePage = nullptr;
  QComboBox* m_encoding = nullptr;
  QComboBox* m_audioFiles = nullptr;
  QCheckBox* m_properties = nullptr;
  QComboBox* m_limits = nullptr;
  QComboBox* m_csvSeparator = nullptr;
};
