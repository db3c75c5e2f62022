#include "listing/gui_listing_toolbar.h"

#include <QMenu>
#include <QToolButton>

#include "output/listing_export.h"
#include "platform/gui_image_list.h"

using namespace Qt::StringLiterals;

ListingToolbar::ListingToolbar(QWidget* parent) : QToolBar(parent) {
  setObjectName(u"Toolbar1"_s);
  setIconSize(QSize(16, 16));
  addSeparator();
  addButton(u"salir"_s, 10, u"Cerrar Listado"_s);
  addButton(u"refresca"_s, 6, {});
  addButton(u"imprime"_s, 4, {});
  addExportMenu(addButton(u"exporta"_s, 7, {}));
  storeAction_ = addButton(u"2bd"_s, 9, u"Almacenar en BD"_s);
  designAction_ = addButton(u"modifydesign"_s, 8, u"Modificar diseño directorio y archivo"_s);
  designAction_->setCheckable(true);
  addButton(u"estadisticas"_s, 15, u"Estadísticas del listado"_s);
}

QAction* ListingToolbar::addButton(const QString& key, int image, const QString& toolTip) {
  QAction* action = addAction(imageListIcon(image), QString());
  action->setObjectName(key);
  action->setToolTip(toolTip);
  connect(action, &QAction::triggered, this, [this, key] { emit keyTriggered(key); });
  return action;
}

// The button itself has no action of its own; its menu entries are passed on by their keys.
void ListingToolbar::addExportMenu(QAction* exporta) {
  auto* menu = new QMenu(this);
  for (const QString& format : exportFormatKeys()) {
    QAction* entry = menu->addAction(format);
    const QString key = u"export_"_s + format;
    entry->setObjectName(key);
    connect(entry, &QAction::triggered, this, [this, key] { emit keyTriggered(key); });
  }
  menu->addSeparator();
  for (const auto& [key, text] : {std::pair{u"export_template"_s, u"Con plantilla..."_s},
                                  std::pair{u"templates"_s, u"Plantillas..."_s}}) {
    QAction* entry = menu->addAction(text);
    entry->setObjectName(key);
    connect(entry, &QAction::triggered, this, [this, key] { emit keyTriggered(key); });
  }
  auto* button = qobject_cast<QToolButton*>(widgetForAction(exporta));
  button->setMenu(menu);
  button->setPopupMode(QToolButton::MenuButtonPopup);
}
