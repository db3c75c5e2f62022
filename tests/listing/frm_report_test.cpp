#include <QListWidget>
#include <QMenu>
#include <QTreeWidget>

#include "listing_window_fixture.h"
#include "platform/gui_image_list.h"
#include "platform/settings_store.h"

using namespace Qt::StringLiterals;

namespace {

QImage iconImage(const QIcon& icon) {
  return icon.pixmap(16, 16).toImage();
}

}  // namespace

TEST_F(ListingWindowTest, ToolbarCarriesItsKeyedButtonsInOrderAfterASeparator) {
  const QList<QAction*> actions = control<QToolBar>(u"Toolbar1"_s)->actions();
  ASSERT_EQ(actions.size(), 8);
  EXPECT_TRUE(actions[0]->isSeparator());

  struct Button {
    QString key;
    QString toolTip;
    int image;
  };
  const std::vector<Button> expected = {
      {u"salir"_s, u"Cerrar Listado"_s, 10},
      {u"refresca"_s, QString(), 6},
      {u"imprime"_s, QString(), 4},
      {u"exporta"_s, QString(), 7},
      {u"2bd"_s, u"Almacenar en BD"_s, 9},
      {u"modifydesign"_s, u"Modificar diseño directorio y archivo"_s, 8},
      {u"estadisticas"_s, u"Estadísticas del listado"_s, 15},
  };
  for (size_t i = 0; i < expected.size(); ++i) {
    const QAction* action = actions[static_cast<int>(i) + 1];
    EXPECT_EQ(action->objectName(), expected[i].key);
    EXPECT_EQ(action->toolTip(), expected[i].toolTip) << expected[i].key.toStdString();
    EXPECT_EQ(iconImage(action->icon()), iconImage(imageListIcon(expected[i].image)));
    EXPECT_EQ(action->isCheckable(), expected[i].key == u"modifydesign"_s);
  }
  EXPECT_FALSE(toolbarAction(u"modifydesign"_s)->isChecked());
}

TEST_F(ListingWindowTest, ExportaIsADropDownWhoseButtonDoesNothing) {
  QToolButton* exporta = toolbarButton(u"exporta"_s);
  EXPECT_EQ(exporta->popupMode(), QToolButton::MenuButtonPopup);
  const QList<QAction*> entries = exporta->menu()->actions();
  // The four fixed formats, then, apart, the template export and the templates window.
  ASSERT_EQ(entries.size(), 7);
  const QStringList formats = {u"txt"_s, u"html"_s, u"csv"_s, u"json"_s};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(entries[i]->objectName(), u"export_"_s + formats[i]);
    EXPECT_EQ(entries[i]->text(), formats[i]);
  }
  EXPECT_TRUE(entries[4]->isSeparator());
  EXPECT_EQ(entries[5]->text(), u"Con plantilla..."_s);
  EXPECT_EQ(entries[6]->text(), u"Plantillas..."_s);

  report_->showEntries({{u"D-1 /m"_s, u"<p>1 /m</p>"_s}});
  clickToolbar(u"exporta"_s);
  EXPECT_TRUE(subWindow_->isVisible());
  EXPECT_FALSE(control<QWidget>(u"Frame1"_s)->isVisible());
  EXPECT_EQ(report_->entries(), QStringList{u"D-1 /m"_s});
  EXPECT_EQ(GetSetting(u"last_cfg"_s, u"DisenyoArchivo"_s, u"absent"_s), u"absent"_s);
}

TEST_F(ListingWindowTest, ModifydesignShowsAndHidesThePanel) {
  auto* panel = control<QWidget>(u"Frame1"_s);
  EXPECT_FALSE(panel->isVisible());
  clickToolbar(u"modifydesign"_s);
  EXPECT_TRUE(toolbarAction(u"modifydesign"_s)->isChecked());
  EXPECT_TRUE(panel->isVisible());
  clickToolbar(u"modifydesign"_s);
  EXPECT_FALSE(panel->isVisible());
}

TEST_F(ListingWindowTest, ListEntriesAreKeptExactlyWithTheirHtmlForms) {
  report_->showEntries(
      {{u"D-1 /música"_s, u"<b>1</b>"_s}, {u"F-1\tUno\r\nDos"_s, u"1 Uno"_s}, {u"  "_s, {}}});
  auto* list = control<QListWidget>(u"List1"_s);
  ASSERT_EQ(list->count(), 3);
  EXPECT_EQ(list->item(1)->text(), u"F-1\tUno\r\nDos"_s);
  EXPECT_EQ(report_->entries(), QStringList({u"D-1 /música"_s, u"F-1\tUno\r\nDos"_s, u"  "_s}));
  EXPECT_EQ(report_->rendered()[0].html, u"<b>1</b>"_s);

  report_->showEntries({{u"  "_s, {}}});
  EXPECT_EQ(report_->entries(), QStringList{u"  "_s});
  EXPECT_EQ(report_->rendered().size(), 1u);
}

TEST_F(ListingWindowTest, TheTreeFollowsTheModelsNodesAsTheyAreAdded) {
  auto* tv = control<QTreeWidget>(u"tv"_s);
  NodeTree& tree = report_->model().tree;
  ASSERT_TRUE(tree.addRoot(u"/music"_s, u"/music/"_s, kImageDirectory));
  ASSERT_TRUE(tree.addChild(u"/music"_s, u"/music/Jazz"_s, u"Jazz"_s, kImageDirectory));
  ASSERT_TRUE(tree.addChild(u"/music"_s, u"01.mp3"_s, u"01.mp3"_s, kImageMp3));
  ASSERT_TRUE(tree.addChild(u"/music/Jazz"_s, u"02.mp3"_s, u"02.mp3"_s, kImageMp3));
  EXPECT_FALSE(tree.addChild(u"/music/Jazz"_s, u"01.mp3"_s, u"01.mp3"_s, kImageMp3));

  ASSERT_EQ(tv->topLevelItemCount(), 1);
  QTreeWidgetItem* root = tv->topLevelItem(0);
  EXPECT_EQ(root->text(0), u"/music/"_s);
  EXPECT_EQ(iconImage(root->icon(0)), iconImage(imageListIcon(kImageDirectory)));
  ASSERT_EQ(root->childCount(), 2);
  EXPECT_EQ(root->child(0)->text(0), u"Jazz"_s);
  EXPECT_EQ(root->child(1)->text(0), u"01.mp3"_s);
  EXPECT_EQ(iconImage(root->child(1)->icon(0)), iconImage(imageListIcon(kImageMp3)));
  ASSERT_EQ(root->child(0)->childCount(), 1);
  EXPECT_EQ(root->child(0)->child(0)->text(0), u"02.mp3"_s);

  tree.clear();
  EXPECT_EQ(tv->topLevelItemCount(), 0);
  ASSERT_TRUE(tree.addRoot(u"/cdrom"_s, u"/cdrom/"_s, kImageCd));
  ASSERT_TRUE(tree.addChild(u"/cdrom"_s, u"a.mp3"_s, u"a.mp3"_s, kImageMp3));
  ASSERT_EQ(tv->topLevelItemCount(), 1);
  EXPECT_EQ(tv->topLevelItem(0)->text(0), u"/cdrom/"_s);
  EXPECT_EQ(tv->topLevelItem(0)->child(0)->text(0), u"a.mp3"_s);
}

TEST_F(ListingWindowTest, SalirClosesAndDestroysTheWindow) {
  report_->model().FinalName = u"sin guardar"_s;
  clickToolbar(u"salir"_s);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(report_.isNull());
  EXPECT_TRUE(subWindow_.isNull());
  EXPECT_TRUE(area_.subWindowList().isEmpty());
}

TEST_F(ListingWindowTest, ClosingDuringAScanStopsTheWalkAndDestroysTheWindowAfterIt) {
  report_->setBusy(true);
  EXPECT_FALSE(control<QToolBar>(u"Toolbar1"_s)->isEnabled());
  EXPECT_FALSE(report_->stopRequested());

  EXPECT_FALSE(subWindow_->close());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_FALSE(report_.isNull());
  EXPECT_TRUE(subWindow_->isVisible());
  EXPECT_TRUE(report_->stopRequested());

  // The walk sees the request, unwinds, and its driver ends the scan.
  report_->setBusy(false);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(report_.isNull());
  EXPECT_TRUE(subWindow_.isNull());
}

TEST_F(ListingWindowTest, AScanLeftAloneKeepsTheWindowAndGivesTheToolbarBack) {
  report_->setBusy(true);
  report_->setBusy(false);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_FALSE(report_.isNull());
  EXPECT_TRUE(control<QToolBar>(u"Toolbar1"_s)->isEnabled());
  EXPECT_FALSE(report_->stopRequested());
}
