#include "app/gui_window_menu.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QStyle>

#include "platform/gui_window_placement.h"

using namespace Qt::StringLiterals;

WindowMenu::WindowMenu(QMenu& menu, QMdiArea& area) : QObject(&menu), menu_(menu), area_(area) {
  separator_ = menu_.addSeparator();
  separator_->setObjectName(u"mn_windowsbar"_s);
  separator_->setVisible(false);
  connect(addArrangement(u"mn_cascada"_s, u"Cascada"_s), &QAction::triggered, &area_,
          &QMdiArea::cascadeSubWindows);
  connect(addArrangement(u"mn_mosaico"_s, u"Mosaico"_s), &QAction::triggered, &area_,
          [this] { tileInside(area_); });
  connect(addArrangement(u"mn_cerrartodas"_s, u"Cerrar todas"_s), &QAction::triggered, &area_,
          &QMdiArea::closeAllSubWindows);
  connect(&menu_, &QMenu::aboutToShow, this, &WindowMenu::refreshList);
}

QAction* WindowMenu::addArrangement(const QString& name, const QString& caption) {
  QAction* item = menu_.addAction(caption);
  item->setObjectName(name);
  item->setEnabled(false);
  arrangement_.append(item);
  return item;
}

void WindowMenu::refreshList() {
  qDeleteAll(listed_);
  listed_.clear();
  const QList<QMdiSubWindow*> children = area_.subWindowList();
  for (qsizetype i = 0; i < children.size(); ++i) {
    QPointer<QMdiSubWindow> child = children.at(i);
    QString title = child->windowTitle();
    auto* item = new QAction(u"&%1 %2"_s.arg(i + 1).arg(title.replace(u'&', u"&&"_s)), &menu_);
    item->setCheckable(true);
    item->setChecked(child == area_.currentSubWindow());
    connect(item, &QAction::triggered, &area_, [this, child] {
      if (child) {
        area_.setActiveSubWindow(child);
      }
    });
    menu_.insertAction(separator_, item);
    listed_.append(item);
  }
  separator_->setVisible(!children.isEmpty());
  for (QAction* item : std::as_const(arrangement_)) {
    item->setEnabled(!children.isEmpty());
  }
}
