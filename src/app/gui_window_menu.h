#pragma once

#include <QList>
#include <QObject>

class QAction;
class QMdiArea;
class QMenu;

/**
 * The main window's "Ventana" menu: the open listing windows, numbered, the active one checked,
 * then "Cascada", "Mosaico" and "Cerrar todas". The arrangement items are in the menu from the
 * start, because a menu bar does not open a menu that is empty when asked to, and a menu filled
 * only as it opens would then never be filled. The window list is rebuilt each time it opens.
 */
class WindowMenu : public QObject {
  Q_OBJECT

 public:
  /** Fills menu, which the caller owns, with the arrangement items and follows area. */
  WindowMenu(QMenu& menu, QMdiArea& area);

  /** Rebuilds the list of open windows; the menu runs it as it opens. */
  void refreshList();

 private:
  QAction* addArrangement(const QString& name, const QString& caption);

  QMenu& menu_;
  QMdiArea& area_;
  QAction* separator_ = nullptr;
  QList<QAction*> arrangement_;
  QList<QAction*> listed_;
};
