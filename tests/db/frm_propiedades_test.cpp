#include "db/frm_propiedades.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "db/bd_write_guard.h"
#include "db/frm_reportsbd.h"
#include "db/listing_store.h"
#include "db/mod_bd.h"
#include "db/update_history.h"
#include "platform/gui_message_box.h"
#include "scan/scan_driver.h"
#include "support/fixtures.h"
#include "support/listing_db_fixture.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

// A scanned folder stored as listing 1 and a listing stored before sources were kept as 2.
class FrmPropiedadesTest : public BdTest {
 protected:
  void SetUp() override {
    BdTest::SetUp();
    root_ = TestEnvironment::newTempDir() + u"/Caja"_s;
    writeMp3(root_ + u"/a.mp3"_s);
    ListingModel model;
    RunDirectoryScan(model, WalkPath::fromText(root_));
    ASSERT_TRUE(Save2bd(model).ok());
    ASSERT_TRUE(BdConnection().Execute(u"INSERT INTO reports VALUES (2,'Viejo',1,'Viejo')"_s));
    setMessageAnswerer([this](const MessageRequest& request) {
      messages_.append(request.text);
      return MessageAnswer::Ok;
    });
  }
  void TearDown() override {
    delete frm_reportsbd::current();
    setMessageAnswerer({});
    BdTest::TearDown();
  }

  static QString text(QWidget* dialog, const QString& name) {
    if (auto* edit = dialog->findChild<QLineEdit*>(name)) {
      return edit->text();
    }
    auto* label = dialog->findChild<QLabel*>(name);
    return label ? label->text() : u"(falta)"_s;
  }
  static void press(QWidget* dialog, QDialogButtonBox::StandardButton which) {
    dialog->findChild<QDialogButtonBox*>()->button(which)->click();
  }

  QString root_;
  QStringList messages_;
};

}  // namespace

// «Informe» and the tree's context menu offer a chosen listing's properties; what is typed is
// saved by «Aceptar», left by «Cancelar».
TEST_F(FrmPropiedadesTest, GestionOpensTheChosenListingsPropertiesToEdit) {
  frm_reportsbd* window = frm_reportsbd::Instance(nullptr);
  auto* tv = window->findChild<QTreeWidget*>(u"tv"_s);
  auto* properties = window->findChild<QAction*>(u"mn_propiedades"_s);
  ASSERT_TRUE(tv && properties);
  EXPECT_FALSE(properties->isEnabled());
  const QTreeWidgetItem* listing = tv->findItems(root_, Qt::MatchExactly | Qt::MatchRecursive)[0];
  emit tv->customContextMenuRequested(tv->visualItemRect(listing).center());
  auto* context = window->findChild<QMenu*>(u"mnContexto"_s);
  ASSERT_TRUE(context);
  EXPECT_TRUE(context->actions().contains(properties));
  context->close();
  properties->trigger();
  auto* dialog = window->findChild<frm_propiedades*>();
  ASSERT_TRUE(dialog);
  EXPECT_EQ(dialog->windowTitle(), u"Propiedades del listado nº 1"_s);
  EXPECT_EQ(text(dialog, u"lbl_ruta"_s), root_);
  dialog->findChild<QLineEdit*>(u"txtUbicacion"_s)->setText(u"Caja 3"_s);
  dialog->findChild<QLineEdit*>(u"txtPrestadoA"_s)->setText(u"Ana"_s);
  press(dialog, QDialogButtonBox::Ok);
  EXPECT_EQ(rows(u"SELECT rp_id, ubicacion, prestado_a FROM propiedades"_s),
            QStringList{u"1|Caja 3|Ana"_s});

  dialog = frm_propiedades::open(nullptr, 1);
  EXPECT_EQ(text(dialog, u"txtUbicacion"_s), u"Caja 3"_s);
  EXPECT_FALSE(text(dialog, u"lblPrestadoEl"_s).isEmpty());
  dialog->findChild<QLineEdit*>(u"txtUbicacion"_s)->clear();
  press(dialog, QDialogButtonBox::Cancel);
  EXPECT_EQ(rows(u"SELECT ubicacion FROM propiedades"_s), QStringList{u"Caja 3"_s});
}

// The updates in place are listed the oldest first; a listing never updated says so.
TEST_F(FrmPropiedadesTest, TheUpdateHistoryIsShownOldestFirst) {
  frm_propiedades* dialog = frm_propiedades::open(nullptr, 1);
  auto* box = dialog->findChild<QGroupBox*>(u"grpActualizaciones"_s);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->findChild<QLabel*>()->text(), u"No se ha actualizado nunca."_s);
  press(dialog, QDialogButtonBox::Cancel);
  ASSERT_EQ(writeUpdateHistory(1, {u"2026-01-02T10:00:00Z"_s, 3, 1, 2, 4.25}), QString());
  ASSERT_EQ(writeUpdateHistory(1, {u"2026-03-04T10:00:00Z"_s, 0, 0, 0, 0.5}), QString());
  dialog = frm_propiedades::open(nullptr, 1);
  auto* table = dialog->findChild<QTreeWidget*>(u"tvActualizaciones"_s);
  ASSERT_TRUE(table);
  ASSERT_EQ(table->topLevelItemCount(), 2);
  const QTreeWidgetItem* first = table->topLevelItem(0);
  EXPECT_EQ(
      QStringList({first->text(0), first->text(1), first->text(2), first->text(3), first->text(4)}),
      QStringList({u"2026-01-02T10:00:00Z"_s, u"3"_s, u"1"_s, u"2"_s, u"4.3"_s}));
  press(dialog, QDialogButtonBox::Cancel);
}

// A listing stored before its source was kept says so; a save refused leaves the dialog open.
TEST_F(FrmPropiedadesTest, AListingWithoutSourceAndARefusedSaveAreSaid) {
  frm_propiedades* dialog = frm_propiedades::open(nullptr, 2);
  ASSERT_TRUE(dialog);
  EXPECT_FALSE(dialog->findChild<QLabel*>(u"lbl_ruta"_s));
  EXPECT_TRUE(dialog->findChild<QGroupBox*>(u"grpOrigen"_s)
                  ->findChildren<QLabel*>()
                  .constFirst()
                  ->text()
                  .startsWith(u"No se guardó el origen"_s));
  dialog->findChild<QLineEdit*>(u"txtCategoria"_s)->setText(u"Rock"_s);
  {
    const BdWriteGuard storeRunning;
    press(dialog, QDialogButtonBox::Ok);
  }
  ASSERT_EQ(messages_.size(), 1);
  EXPECT_TRUE(messages_[0].startsWith(u"No se han podido guardar las propiedades"_s));
  EXPECT_TRUE(dialog->isVisible());
  press(dialog, QDialogButtonBox::Ok);
  EXPECT_EQ(rows(u"SELECT rp_id, categoria FROM propiedades"_s), QStringList{u"2|Rock"_s});
}
