#include <QPushButton>
#include <QToolButton>

#include "db/frm_actualizar.h"
#include "db/listing_store.h"
#include "db/mod_bd.h"
#include "listing/gui_notice_strip.h"
#include "listing_window_fixture.h"
#include "platform/gui_message_box.h"
#include "scan/scan_driver.h"
#include "support/fixtures.h"
#include "support/listing_db_fixture.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kWaitMs = 10000;

// A folder of one file stored as listing 1, shown in a window of its own.
class ListingUpdateWindowTest : public ListingWindowTest {
 protected:
  void SetUp() override {
    ListingWindowTest::SetUp();
    installProgramFiles();
    ASSERT_EQ(OpenBd(), QString());
    root_ = TestEnvironment::newTempDir() + u"/Musica"_s;
    writeMp3Titled(root_ + u"/a/1.mp3"_s, "1");
    ListingModel model;
    RunDirectoryScan(model, WalkPath::fromText(root_));
    ASSERT_TRUE(Save2bd(model).ok());
    frm_report::openStoredIn(area_, 1);
    stored_ = storedWindow();
    setMessageAnswerer([](const MessageRequest&) { return MessageAnswer::Yes; });
  }
  void TearDown() override {
    setMessageAnswerer({});
    CloseBd();
  }
  frm_report* storedWindow() const {
    for (QMdiSubWindow* subWindow : area_.subWindowList()) {
      auto* report = qobject_cast<frm_report*>(subWindow->widget());
      if (report && report->storedNumber() == 1) {
        return report;
      }
    }
    return nullptr;
  }

  QString root_;
  QPointer<frm_report> stored_;
};

}  // namespace

// The strip's «Actualizar nº 1» reviews and applies the update; the stored listing's window,
// which offers it too, then shows the listing as it now is.
TEST_F(ListingUpdateWindowTest, TheStripUpdatesAStoredListingAndItsWindowShowsItAnew) {
  ASSERT_TRUE(stored_);
  EXPECT_TRUE(stored_->findChild<QAction*>(u"mn_actualizar"_s));
  EXPECT_EQ(stored_->model().NumCancionesMP3, 1);
  report_->model().RutaInicial = root_;
  report_->Gouu();
  writeMp3Titled(root_ + u"/b/2.mp3"_s, "2");
  auto* update = report_->notices().findChild<QToolButton*>(u"actualizar"_s);
  ASSERT_TRUE(update);
  EXPECT_EQ(update->text(), u"Actualizar nº 1"_s);
  update->click();
  ASSERT_TRUE(QTest::qWaitFor([this] { return report_->findChild<frm_actualizar*>(); }, kWaitMs));
  report_->findChild<frm_actualizar*>()->findChild<QPushButton*>(u"cmdAplicar"_s)->click();
  ASSERT_TRUE(QTest::qWaitFor([this] { return !stored_; }, kWaitMs));
  ASSERT_TRUE(QTest::qWaitFor([this] { return storedWindow(); }, kWaitMs));
  EXPECT_EQ(storedWindow()->model().NumCancionesMP3, 2);
}
