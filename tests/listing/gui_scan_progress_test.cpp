#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include "db/listing_properties.h"
#include "db/listing_store.h"
#include "db/mod_bd.h"
#include "listing/gui_notice_strip.h"
#include "listing/gui_scan_progress.h"
#include "listing_window_fixture.h"
#include "platform/desktop_opener.h"
#include "scan/scan_driver.h"
#include "session/program_options.h"
#include "support/fixtures.h"
#include "support/listing_db_fixture.h"

using namespace Qt::StringLiterals;

class WindowScanTest : public ListingWindowTest {
 protected:
  void SetUp() override {
    ListingWindowTest::SetUp();
    SaveProgramOptions({});
  }
  void TearDown() override { SaveProgramOptions({}); }

  // directories folders of one MP3 file each.
  QString treeOf(int directories) {
    const QString root = TestEnvironment::newTempDir() + u"/Music"_s;
    for (int d = 0; d < directories; ++d) {
      writeMp3(root + u"/d%1/s.mp3"_s.arg(d, 3, 10, QLatin1Char('0')));
    }
    return root;
  }
  void scan(const QString& root) {
    report_->model().RutaInicial = root;
    report_->Gouu();
  }
  ScanProgressStrip* progress() { return control<ScanProgressStrip>(u"Progreso"_s); }
};

TEST_F(WindowScanTest, ACutScanSaysWhatItLeftOutInANoticeAndSinLimiteListsTheWholeTree) {
  const QString root = treeOf(kMaxDirectorios + 2);
  LogCapture log;
  scan(root);
  EXPECT_EQ(report_->model().NumDirectoriosMP3, kMaxDirectorios);
  const QStringList cap = log.lines().filter(u"límite"_s);
  ASSERT_EQ(cap.size(), 1);
  EXPECT_TRUE(cap[0].contains(u"quedan fuera: 2 directorios con MP3 y 2 archivos MP3"_s));
  EXPECT_EQ(report_->notices().notices(), cap);
  EXPECT_TRUE(control<QWidget>(u"Notices"_s)->isVisible());
  EXPECT_FALSE(progress()->isVisible());

  ProgramOptions options;
  options.limits = ListingLimits::None;
  SaveProgramOptions(options);
  scan(root);
  EXPECT_EQ(report_->model().NumDirectoriosMP3, kMaxDirectorios + 2);
  EXPECT_EQ(report_->model().Directorios[kMaxDirectorios + 2].dirname, root + u"/d501"_s);
  EXPECT_TRUE(report_->model().tree.contains(root + u"/d501/s.mp3"_s));
  EXPECT_TRUE(report_->notices().notices().isEmpty());
}

TEST_F(WindowScanTest, DetenerStopsTheWalkKeepsTheWindowAndSaysTheListingIsPartial) {
  const QString root = treeOf(40);
  const int paneHeight = control<QTreeWidget>(u"tv"_s)->height();
  bool shownDuringWalk = false;
  int paneHeightDuringWalk = 0;
  // Runs at the walk's first event pump.
  QTimer::singleShot(0, report_, [&] {
    shownDuringWalk = progress()->isVisible();
    paneHeightDuringWalk = control<QTreeWidget>(u"tv"_s)->height();
    QTest::mouseClick(progress()->findChild<QPushButton*>(u"Command1"_s), Qt::LeftButton);
  });
  LogCapture log;
  scan(root);
  EXPECT_TRUE(shownDuringWalk);
  EXPECT_EQ(paneHeightDuringWalk, paneHeight - progress()->sizeHint().height());
  EXPECT_FALSE(progress()->isVisible());
  EXPECT_EQ(control<QTreeWidget>(u"tv"_s)->height(),
            paneHeight - control<QWidget>(u"Notices"_s)->height());

  const int listed = report_->model().NumDirectoriosMP3;
  EXPECT_LT(listed, 40);
  const QString partial =
      u"Escaneo detenido por el usuario: el listado está incompleto (%1 directorios con MP3, "
      u"%1 archivos MP3)"_s.arg(listed);
  EXPECT_EQ(log.lines().mid(log.lines().indexOf(u"Proceso interrumpido"_s)),
            QStringList({u"Proceso interrumpido"_s, partial}));
  EXPECT_EQ(report_->notices().notices(), QStringList{partial});
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_FALSE(report_.isNull());
  EXPECT_TRUE(control<QToolBar>(u"Toolbar1"_s)->isEnabled());
}

TEST_F(WindowScanTest, AScanLeftAloneShowsNoNoticeAndGivesThePanesTheirRoomBack) {
  const int paneHeight = control<QTreeWidget>(u"tv"_s)->height();
  scan(treeOf(3));
  EXPECT_EQ(report_->model().NumDirectoriosMP3, 3);
  EXPECT_TRUE(report_->notices().notices().isEmpty());
  EXPECT_FALSE(control<QWidget>(u"Notices"_s)->isVisible());
  EXPECT_FALSE(progress()->isVisible());
  EXPECT_EQ(control<QTreeWidget>(u"tv"_s)->height(), paneHeight);
}

// A folder already in the catalogue is said so after its scan; the store stays the user's.
TEST_F(WindowScanTest, AFolderAlreadyCataloguedIsSaidSoInTheStrip) {
  installProgramFiles();
  ASSERT_EQ(OpenBd(), QString());
  const QString root = treeOf(2);
  auto stored = std::make_unique<ListingModel>();
  RunDirectoryScan(*stored, WalkPath::fromText(root));
  ASSERT_TRUE(Save2bd(*stored).ok());
  ASSERT_EQ(writeListingProperties(1, {.ubicacion = u"Caja 3"_s}), QString());
  scan(root);
  const QStringList notices = report_->notices().notices();
  ASSERT_EQ(notices.size(), 1);
  EXPECT_TRUE(notices[0].startsWith(u"Ya está catalogado como nº 1 «"_s + root +
                                    u"» (Ubicación: Caja 3)"_s));
  // «Abrir nº 1» opens the stored listing in a window of its own, as the catalogue's window does.
  auto* open = control<QWidget>(u"Notices"_s)->findChild<QToolButton*>(u"abrir"_s);
  ASSERT_TRUE(open);
  EXPECT_EQ(open->text(), u"Abrir nº 1"_s);
  open->click();
  ASSERT_EQ(area_.subWindowList().size(), 2);
  auto* opened = qobject_cast<frm_report*>(area_.subWindowList().last()->widget());
  ASSERT_TRUE(opened);
  EXPECT_EQ(opened->model().NumCancionesMP3, 2);
  EXPECT_FALSE(opened->findChild<QAction*>(u"2bd"_s)->isEnabled());
  // Only a stored listing's window offers its properties and its original, here at hand.
  EXPECT_TRUE(opened->findChild<QAction*>(u"mn_propiedades"_s));
  EXPECT_FALSE(report_->findChild<QAction*>(u"mn_propiedades"_s));
  QStringList shown;
  setDesktopOpenHandler([&shown](const QString& target) {
    shown.append(target);
    return true;
  });
  opened->findChild<QAction*>(u"mn_original"_s)->trigger();
  setDesktopOpenHandler({});
  EXPECT_EQ(shown, QStringList{root});
  CloseBd();
  scan(root);
  EXPECT_TRUE(report_->notices().notices().isEmpty());
}
