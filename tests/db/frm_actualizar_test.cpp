#include "db/frm_actualizar.h"

#include <QAction>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include "db/frm_reportsbd.h"
#include "db/gui_listing_updater.h"
#include "db/listing_properties.h"
#include "db/listing_store.h"
#include "db/listing_update.h"
#include "platform/gui_message_box.h"
#include "scan/scan_driver.h"
#include "support/fixtures.h"
#include "support/listing_db_fixture.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kWaitMs = 10000;

// Listing 1: a/1, a/2, b/3, b/4 and b/5, each tagged with its own name, kept in «Caja 3».
class FrmActualizarTest : public EngineBdTest {
 protected:
  void SetUp() override {
    EngineBdTest::SetUp();
    root_ = TestEnvironment::newTempDir() + u"/Musica"_s;
    for (const QString& file :
         {u"a/1.mp3"_s, u"a/2.mp3"_s, u"b/3.mp3"_s, u"b/4.mp3"_s, u"b/5.mp3"_s}) {
      writeMp3Titled(root_ + u'/' + file, file.toUtf8());
    }
    ListingModel model;
    RunDirectoryScan(model, WalkPath::fromText(root_));
    ASSERT_TRUE(Save2bd(model).ok());
    ASSERT_EQ(writeListingProperties(1, {.ubicacion = u"Caja 3"_s}), QString());
    setMessageAnswerer([this](const MessageRequest& request) {
      messages_.append(request.text);
      return answer_;
    });
  }
  void TearDown() override {
    delete frm_reportsbd::current();
    setMessageAnswerer({});
    EngineBdTest::TearDown();
  }

  // «Actualizar...» of listing 1, chosen in «Gestión Informes en BD».
  void startUpdate() {
    window_ = frm_reportsbd::Instance(nullptr);
    auto* tv = window_->findChild<QTreeWidget*>(u"tv"_s);
    emit tv->itemClicked(tv->findItems(root_, Qt::MatchExactly | Qt::MatchRecursive)[0], 0);
    auto* update = window_->findChild<QAction*>(u"mn_actualizar"_s);
    ASSERT_TRUE(update);
    update->trigger();
  }
  frm_actualizar* review() const {
    EXPECT_TRUE(QTest::qWaitFor([this] { return window_->findChild<frm_actualizar*>(); }, kWaitMs));
    return window_->findChild<frm_actualizar*>();
  }
  void press(const QString& button) const { review()->findChild<QPushButton*>(button)->click(); }
  bool updateEnds() const {
    return QTest::qWaitFor([this] { return !window_->findChild<ListingUpdater*>(); }, kWaitMs);
  }
  // Everything stored of listing 1 and beside it.
  QStringList catalogue() const {
    QStringList all;
    for (const QString& table : {u"reports"_s, u"estructdir"_s, u"infoMP3"_s, u"origen"_s,
                                 u"origen_archivos"_s, u"propiedades"_s, u"actualizaciones"_s}) {
      QStringList stored = rows(u"SELECT * FROM "_s + table);
      stored.sort();
      all += stored;
    }
    return all;
  }
  void remove(const QString& file) const { ASSERT_TRUE(QFile::remove(root_ + u'/' + file)); }
  // c/6 added, a/2 removed, b/3 retagged a minute later.
  void changeOneOfEach() const {
    writeMp3Titled(root_ + u"/c/6.mp3"_s, "c/6.mp3");
    remove(u"a/2.mp3"_s);
    writeMp3Titled(root_ + u"/b/3.mp3"_s, "otro");
    QFile file(root_ + u"/b/3.mp3"_s);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(60),
                                 QFileDevice::FileModificationTime));
  }

  QString root_;
  frm_reportsbd* window_ = nullptr;
  MessageAnswer answer_ = MessageAnswer::Yes;
  QStringList messages_;
};

// Each kind's branch, its count and its files.
QStringList branches(const QTreeWidget& tree) {
  QStringList shown;
  for (int kind = 0; kind < tree.topLevelItemCount(); ++kind) {
    const QTreeWidgetItem* branch = tree.topLevelItem(kind);
    shown.append(branch->text(0));
    for (int file = 0; file < branch->childCount(); ++file) {
      shown.append(u"  "_s + branch->child(file)->text(0));
    }
  }
  return shown;
}

}  // namespace

TEST_P(FrmActualizarTest, TheReviewShowsEachKindOfChangeAndDescartarWritesNothing) {
  const QStringList before = catalogue();
  changeOneOfEach();
  startUpdate();
  frm_actualizar* dialog = review();
  ASSERT_TRUE(dialog);
  EXPECT_EQ(branches(*dialog->findChild<QTreeWidget*>(u"tvCambios"_s)),
            (QStringList{u"Añadidos (1)"_s, u"  /c/6.mp3"_s, u"Eliminados (1)"_s, u"  /a/2.mp3"_s,
                         u"Cambiados (1)"_s, u"  /b/3.mp3"_s, u"Sin cambios (3)"_s}));
  EXPECT_FALSE(dialog->findChild<QLabel*>(u"lblMitad"_s));
  EXPECT_FALSE(dialog->findChild<QLabel*>(u"lblOpciones"_s));
  press(u"cmdDescartar"_s);
  ASSERT_TRUE(updateEnds());
  EXPECT_EQ(catalogue(), before);
  EXPECT_TRUE(messages_.isEmpty());
}

// The listing keeps its number, name and fields; its rows and the tree are the new ones.
TEST_P(FrmActualizarTest, AplicarKeepsTheListingsNumberNameAndFieldsAndShowsItAnew) {
  const QStringList kept = rows(u"SELECT * FROM reports"_s) + rows(u"SELECT * FROM propiedades"_s);
  changeOneOfEach();
  startUpdate();
  const QSignalSpy updated(window_, &frm_reportsbd::listingUpdated);
  press(u"cmdAplicar"_s);
  ASSERT_TRUE(updateEnds());
  EXPECT_TRUE(messages_.isEmpty()) << messages_.join(u'\n').toStdString();
  EXPECT_EQ(rows(u"SELECT * FROM reports"_s) + rows(u"SELECT * FROM propiedades"_s), kept);
  EXPECT_EQ(rows(u"SELECT filename FROM infoMP3 ORDER BY filegenorder"_s),
            (QStringList{u"1.mp3"_s, u"3.mp3"_s, u"4.mp3"_s, u"5.mp3"_s, u"6.mp3"_s}));
  EXPECT_EQ(rows(u"SELECT anadidos, quitados, cambiados FROM actualizaciones"_s),
            QStringList{u"1|1|1"_s});
  ASSERT_EQ(updated.size(), 1);
  EXPECT_EQ(updated[0][0].toInt(), 1);
  EXPECT_FALSE(window_->findChild<QTreeWidget*>(u"tv"_s)
                   ->findItems(root_, Qt::MatchExactly | Qt::MatchRecursive)
                   .isEmpty());
}

// More than half the files gone: «Aplicar» asks whether it is the right disc; «No» keeps the
// review open and the catalogue as it was.
TEST_P(FrmActualizarTest, AListingMoreThanHalfChangedIsAppliedOnlyWhenTheUserSaysItIsTheRightOne) {
  const QStringList before = catalogue();
  for (const QString& file : {u"a/2.mp3"_s, u"b/3.mp3"_s, u"b/4.mp3"_s}) {
    remove(file);
  }
  startUpdate();
  EXPECT_EQ(review()->findChild<QLabel*>(u"lblMitad"_s)->text(), halfChangedText());
  answer_ = MessageAnswer::No;
  press(u"cmdAplicar"_s);
  EXPECT_EQ(messages_, QStringList{halfChangedText()});
  EXPECT_TRUE(review()->isVisible());
  EXPECT_EQ(catalogue(), before);
  answer_ = MessageAnswer::Yes;
  press(u"cmdAplicar"_s);
  ASSERT_TRUE(updateEnds());
  EXPECT_EQ(rows(u"SELECT filename FROM infoMP3 ORDER BY filegenorder"_s),
            (QStringList{u"1.mp3"_s, u"5.mp3"_s}));
}

// A source that is not there is asked for, and the review comes once it is back; «Cancelar»
// gives the update up.
TEST_P(FrmActualizarTest, AMissingSourceIsWaitedForUntilItComesBackOrTheUserCancels) {
  const QString away = root_ + u"-fuera"_s;
  ASSERT_TRUE(QDir().rename(root_, away));
  startUpdate();
  const auto wait = [this] { return window_->findChild<QDialog*>(u"dlgEsperaDisco"_s); };
  ASSERT_TRUE(QTest::qWaitFor(wait, kWaitMs));
  EXPECT_EQ(wait()->findChild<QLabel*>(u"lblInserte"_s)->text(),
            u"Inserte el disco nº 1 «%1» (Ubicación: Caja 3)"_s.arg(root_));
  ASSERT_TRUE(QDir().rename(away, root_));
  ASSERT_TRUE(review());
  press(u"cmdDescartar"_s);
  ASSERT_TRUE(updateEnds());

  ASSERT_TRUE(QDir().rename(root_, away));
  startUpdate();
  ASSERT_TRUE(QTest::qWaitFor(wait, kWaitMs));
  wait()->findChild<QPushButton*>(u"cmdCancelar"_s)->click();
  EXPECT_TRUE(updateEnds());
  EXPECT_FALSE(window_->findChild<frm_actualizar*>());
}

INSTANTIATE_ON_BOTH_ENGINES(FrmActualizarTest);
