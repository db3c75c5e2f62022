#include "platform/gui_open_when_present.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include "platform/desktop_opener.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

class OpenWhenPresentTest : public testing::Test {
 protected:
  void SetUp() override {
    setDesktopOpenHandler([this](const QString& target) {
      opened_.append(target);
      return true;
    });
  }
  void TearDown() override { setDesktopOpenHandler({}); }
  QDialog* box() const { return owner_.findChild<QDialog*>(u"dlgEsperaOriginal"_s); }

  QWidget owner_;
  QStringList opened_;
  QString present_;
};

}  // namespace

// A folder there is opened at once, and no box is shown.
TEST_F(OpenWhenPresentTest, APresentFolderOpensAtOnce) {
  openWhenPresent(
      &owner_, [] { return u"/media/disco"_s; }, u"Inserte el disco"_s);
  EXPECT_EQ(opened_, QStringList{u"/media/disco"_s});
  EXPECT_FALSE(box());
}

// The box waits for the folder, opens it when it comes and goes; «Cancelar» gives up.
TEST_F(OpenWhenPresentTest, TheBoxWaitsForTheFolderOrForCancelar) {
  openWhenPresent(
      &owner_, [this] { return present_; }, u"Inserte el disco nº 1 «A»"_s);
  ASSERT_TRUE(box());
  EXPECT_EQ(box()->findChild<QLabel*>(u"lblInserte"_s)->text(), u"Inserte el disco nº 1 «A»"_s);
  present_ = u"/media/a"_s;
  EXPECT_TRUE(QTest::qWaitFor([this] { return !opened_.isEmpty(); }, 5000));
  EXPECT_EQ(opened_, QStringList{u"/media/a"_s});
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(box());

  present_.clear();
  openWhenPresent(
      &owner_, [this] { return present_; }, u"Inserte el disco nº 2 «B»"_s);
  box()->findChild<QPushButton*>(u"cmdCancelar"_s)->click();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(box());
  EXPECT_EQ(opened_.size(), 1);
}
