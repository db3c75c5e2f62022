#pragma once

#include <QWidget>

#include "base/loaded_forms.h"

class QLabel;

/**
 * The about box: the version, the credits and links to the author's and maker's pages and the
 * author's mail. A separate tool window; at most one exists, and "ok!" destroys it.
 */
class frm_about : public QWidget {
  Q_OBJECT

 public:
  /** Shows the about box, creating it when none is open. */
  static frm_about* showInstance();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  frm_about();

  void createWindow();
  void createPictures();
  void createLinks();
  void createTexts();
  void createOkButton();
  QLabel* addLabel(const QString& name, const QRect& twips, const QString& text);
  QLabel* addLink(const QString& name, const QRect& twips, const QColor& background,
                  const QString& address);
  void openLink(const QLabel* label) const;

  LoadedForm m_loaded{QStringLiteral("frm_about")};
  QLabel* m_mailLink = nullptr;
};
