#pragma once

#include <QToolBar>

/**
 * The listing window's toolbar (Toolbar1): a separator, then salir, refresca, imprime, exporta
 * (a drop-down of one export_ entry per export format, then export_template and templates),
 * 2bd and modifydesign (checkable). Every
 * button and menu entry is an action named by its key, which keyTriggered passes on.
 */
class ListingToolbar : public QToolBar {
  Q_OBJECT

 public:
  explicit ListingToolbar(QWidget* parent);

  QAction* storeAction() const { return storeAction_; }
  QAction* designAction() const { return designAction_; }

 signals:
  void keyTriggered(const QString& key);

 private:
  QAction* addButton(const QString& key, int image, const QString& toolTip);
  void addExportMenu(QAction* exporta);

  QAction* storeAction_;   // "2bd"
  QAction* designAction_;  // "modifydesign"
};
