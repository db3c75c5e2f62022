#include <QAction>
#include <QDir>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

#include "app/frm_main.h"
#include "db/frm_reportsbd.h"
#include "db/listing_store.h"
#include "db/mod_bd.h"
#include "listing/frm_report.h"
#include "platform/cd_drive.h"
#include "platform/disc_images.h"
#include "platform/gui_folder_chooser.h"
#include "platform/gui_message_box.h"
#include "scan/scan_driver.h"
#include "session/lifecycle.h"
#include "support/fixtures.h"
#include "support/listing_db_fixture.h"

using namespace Qt::StringLiterals;

namespace {

// The main window over a real database, a machine whose CD drives are files of the test's own,
// and a folder chooser and message boxes answered by the test.
class MainScanTest : public testing::Test {
 protected:
  void SetUp() override {
    installProgramFiles();
    machine_ = TestEnvironment::newTempDir();
    QDir(machine_).mkpath(u"dev"_s);
    QDir(machine_).mkpath(u"sys/block"_s);
    unmountAll();
    setCdDriveSources({machine_ + u"/mounts"_s, machine_ + u"/dev"_s, machine_ + u"/sys/block"_s});
    setFolderChooserAnswerer([this](QWidget* owner, const QString& prompt) {
      chooserCalls.append({owner, prompt});
      return chosenFolder;
    });
    setMessageAnswerer([this](const MessageRequest& request) {
      messages.append(request);
      return answer;
    });
    window = std::make_unique<frm_main>();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    markLog();
  }
  void TearDown() override {
    window.reset();
    delete frm_reportsbd::current();
    setFolderChooserAnswerer({});
    setMessageAnswerer({});
    setCdDriveSources(systemCdDriveSources());
    CloseBd();
  }

  // A folder of two tagged MP3 files below an empty folder.
  static QString musicTree() {
    const QString root = TestEnvironment::newTempDir() + u"/Música"_s;
    writeMp3Titled(root + u"/Rock/01 Uno.mp3"_s, "Primera");
    writeMp3Titled(root + u"/Rock/02 Dos.mp3"_s, "Segunda");
    makeDirectory(root + u"/vacío"_s);
    return root;
  }
  // The drive sr0 holding image, mounted at mountPoint when that is given.
  void insertDisc(const QString& image, const QString& mountPoint) {
    ASSERT_TRUE(QFile::copy(image, machine_ + u"/dev/sr0"_s));
    if (!mountPoint.isEmpty()) {
      writeFile(machine_ + u"/mounts"_s,
                (machine_ + u"/dev/sr0 "_s + mountPoint + u" iso9660 ro 0 0\n"_s).toUtf8());
    }
  }

  void unmountAll() { writeFile(machine_ + u"/mounts"_s, {}); }
  // Later logLines() start here.
  void markLog() { logStart_ = log1()->count(); }

  // The main window's own log list, not the List1 of a listing window inside it.
  QListWidget* log1() const {
    return window->centralWidget()
        ->findChild<QWidget*>(u"Picture1"_s, Qt::FindDirectChildrenOnly)
        ->findChild<QListWidget*>(u"List1"_s, Qt::FindDirectChildrenOnly);
  }
  // The log lines since the window started, with the scan's seconds made steady.
  QStringList logLines() const {
    static const QRegularExpression seconds(u"^\\d+ segundos\\.\\.\\.$"_s);
    QStringList lines;
    for (int i = logStart_; i < log1()->count(); ++i) {
      const QString line = log1()->item(i)->text();
      lines.append(seconds.match(line).hasMatch() ? u"N segundos..."_s : line);
    }
    return lines;
  }
  QList<frm_report*> listings() const {
    QList<frm_report*> found;
    for (QMdiSubWindow* child : window->mdiArea()->subWindowList()) {
      if (auto* report = qobject_cast<frm_report*>(child->widget())) {
        found.append(report);
      }
    }
    return found;
  }
  frm_report* onlyListing() const {
    const QList<frm_report*> found = listings();
    EXPECT_EQ(found.size(), 1);
    return found.value(0);
  }
  static QStringList treeLines(frm_report* report) {
    QStringList lines;
    std::function<void(QTreeWidgetItem*, const QString&)> add = [&](QTreeWidgetItem* item,
                                                                    const QString& indent) {
      lines.append(indent + item->text(0));
      for (int i = 0; i < item->childCount(); ++i) {
        add(item->child(i), indent + u"  "_s);
      }
    };
    auto* tv = report->findChild<QTreeWidget*>(u"tv"_s);
    for (int i = 0; i < tv->topLevelItemCount(); ++i) {
      add(tv->topLevelItem(i), QString());
    }
    return lines;
  }
  static bool toolbarInUse(frm_report* report) {
    return report->findChild<QToolBar*>(u"Toolbar1"_s)->isEnabled();
  }
  void clickMainToolbar(const QString& key) {
    auto* toolbar = window->findChild<QToolBar*>(u"Toolbar1"_s, Qt::FindDirectChildrenOnly);
    QTest::mouseClick(toolbar->widgetForAction(toolbar->findChild<QAction*>(key)), Qt::LeftButton);
  }
  static void runDeferredDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  std::unique_ptr<frm_main> window;
  QString chosenFolder;
  QList<std::pair<QWidget*, QString>> chooserCalls;
  MessageAnswer answer = MessageAnswer::Ok;
  QList<MessageRequest> messages;

 private:
  QString machine_;
  int logStart_ = 0;
};

const QStringList kEmptyScanSummary = {u"Finalizado con exito"_s, u"N segundos..."_s,
                                       u"Numero de Directorios: 0"_s, u"Numero de MP3: 0"_s};

}  // namespace

TEST_F(MainScanTest, F6AndTheToolbarScanTheChosenFolderIntoANewWindowWithItsToolbarOutOfUse) {
  chosenFolder = musicTree();
  QList<bool> toolbarInUseDuringWalk;
  // Runs at the walk's first event pump, in the window being scanned.
  const auto observeWalk = [&] {
    QTimer::singleShot(0, window.get(),
                       [&] { toolbarInUseDuringWalk.append(toolbarInUse(listings().last())); });
  };
  observeWalk();
  QTest::keyClick(window.get(), Qt::Key_F6);

  frm_report* report = onlyListing();
  EXPECT_EQ(
      chooserCalls,
      (QList<std::pair<QWidget*, QString>>{{window.get(), u"Selecciona la ruta inicial "_s}}));
  EXPECT_EQ(report->windowTitle(), u"[DIR] "_s + chosenFolder);
  EXPECT_EQ(treeLines(report), QStringList({chosenFolder + u'/', u"  Rock"_s, u"    01 Uno.mp3"_s,
                                            u"    02 Dos.mp3"_s, u"  vacío"_s}));
  EXPECT_EQ(logLines().first(2),
            QStringList({u"Iniciando proceso..."_s,
                         u"Directorio inicial seleccionado: "_s + chosenFolder}));
  EXPECT_EQ(logLines().last(4),
            QStringList({u"Finalizado con exito"_s, u"N segundos..."_s,
                         u"Numero de Directorios: 1"_s, u"Numero de MP3: 2"_s}));
  EXPECT_EQ(report->model().NumCancionesMP3, 2);
  EXPECT_EQ(report->model().Canciones[2].title, u"Segunda"_s);
  EXPECT_TRUE(toolbarInUse(report));

  observeWalk();
  clickMainToolbar(u"scandir"_s);
  EXPECT_EQ(listings().size(), 2);
  EXPECT_EQ(toolbarInUseDuringWalk, QList<bool>({false, false}));
  EXPECT_TRUE(messages.isEmpty());
}

TEST_F(MainScanTest, CancellingTheFolderChooserClosesTheNewWindowAndScansNothing) {
  QTest::keyClick(window.get(), Qt::Key_F6);
  runDeferredDeletes();
  EXPECT_EQ(chooserCalls.size(), 1);
  EXPECT_TRUE(listings().isEmpty());
  EXPECT_EQ(logLines(), QStringList());
}

TEST_F(MainScanTest, ClosingTheWindowDuringTheWalkStopsItAndThenClosesTheWindow) {
  chosenFolder = musicTree();
  QPointer<QMdiSubWindow> scanned;
  QTimer::singleShot(0, window.get(), [&] {
    scanned = window->mdiArea()->subWindowList().last();
    EXPECT_FALSE(scanned->close());
  });
  QTest::keyClick(window.get(), Qt::Key_F6);
  EXPECT_TRUE(logLines().contains(u"Proceso interrumpido"_s));
  EXPECT_FALSE(logLines().contains(u"Finalizado con exito"_s));
  runDeferredDeletes();
  EXPECT_TRUE(scanned.isNull());
  EXPECT_TRUE(listings().isEmpty());
}

TEST_F(MainScanTest, F5AndTheToolbarScanTheMountedDiscUnderItsLabel) {
  REQUIRE_TOOL(xorriso, "xorriso");
  const QString mountPoint = musicTree();
  insertDisc(makeIsoImage(xorriso, u"MUSICA_01"_s, true), mountPoint);
  QTest::keyClick(window.get(), Qt::Key_F5);

  frm_report* report = onlyListing();
  EXPECT_EQ(report->windowTitle(), u"[CD] MUSICA_01"_s);
  EXPECT_EQ(logLines().first(4),
            QStringList({u"Iniciando proceso..."_s,
                         u"Unidad de cdrom seleccionada: "_s + mountPoint + u'/', u"MUSICA_01"_s,
                         u"Buscando en "_s + mountPoint}));
  EXPECT_EQ(logLines().last(2),
            QStringList({u"Numero de Directorios: 1"_s, u"Numero de MP3: 2"_s}));
  EXPECT_EQ(report->model().FinalName, u"MUSICA_01"_s);
  EXPECT_EQ(report->model().FinalType, kMedioCd);
  const TreeNode& root = report->model().tree.nodes().front();
  EXPECT_EQ(root.key + u' ' + root.text, mountPoint + u' ' + mountPoint + u'/');
  EXPECT_EQ(root.image, kImageCd);

  clickMainToolbar(u"scancd"_s);
  EXPECT_EQ(listings().size(), 2);
  EXPECT_TRUE(messages.isEmpty());
}

TEST_F(MainScanTest, DiscWithoutLabelAndDriveWithoutDiscScanUnderAnEmptyName) {
  REQUIRE_TOOL(xorriso, "xorriso");
  const QString mountPoint = TestEnvironment::newTempDir();
  insertDisc(makeIsoImage(xorriso, QString(), false), mountPoint);
  QTest::keyClick(window.get(), Qt::Key_F5);
  EXPECT_EQ(listings().last()->windowTitle(), u"[CD] "_s);
  EXPECT_EQ(logLines(), QStringList({u"Iniciando proceso..."_s,
                                     u"Unidad de cdrom seleccionada: "_s + mountPoint + u'/',
                                     QString(), u"Buscando en "_s + mountPoint}) +
                            kEmptyScanSummary);

  // The drive is still there, but nothing is mounted from it.
  unmountAll();
  markLog();
  QTest::keyClick(window.get(), Qt::Key_F5);
  const QString device = listings().last()->model().tree.nodes().front().key;
  EXPECT_TRUE(device.endsWith(u"/dev/sr0"_s)) << device.toStdString();
  EXPECT_EQ(listings().last()->windowTitle(), u"[CD] "_s);
  EXPECT_EQ(logLines(), QStringList({u"Iniciando proceso..."_s,
                                     u"Unidad de cdrom seleccionada: "_s + device + u'/', QString(),
                                     u"Buscando en "_s + device}) +
                            kEmptyScanSummary);
}

TEST_F(MainScanTest, NoOpticalDriveSaysSoAndClosesTheWindow) {
  QTest::keyClick(window.get(), Qt::Key_F5);
  runDeferredDeletes();
  ASSERT_EQ(messages.size(), 1);
  EXPECT_EQ(messages[0].text, noCdDriveText());
  EXPECT_EQ(logLines(), QStringList({u"Iniciando proceso..."_s, noCdDriveText()}));
  EXPECT_TRUE(listings().isEmpty());
}

TEST_F(MainScanTest, AStoredCdIsOfferedYesLoadsItAndNoScansTheDisc) {
  REQUIRE_TOOL(xorriso, "xorriso");
  const QString mountPoint = musicTree();
  insertDisc(makeIsoImage(xorriso, u"MUSICA_01"_s, false), mountPoint);
  ASSERT_TRUE(Save2bd(*makeListing(u"MUSICA_01"_s, kMedioCd, {2, 1})).ok());

  answer = MessageAnswer::Yes;
  QTest::keyClick(window.get(), Qt::Key_F5);
  ASSERT_EQ(messages.size(), 1);
  EXPECT_EQ(messages[0].title, u"Atencion!"_s);
  EXPECT_EQ(messages[0].text,
            u"El cd que va a escanear ya se encuentra almacenado en la BD\r\n"
            u"¿ Desea cargarlo de la BD ?"_s);
  EXPECT_EQ(messages[0].icon, MessageIcon::Critical);
  EXPECT_EQ(messages[0].buttons, MessageButtons::YesNo);
  frm_report* loaded = onlyListing();
  EXPECT_EQ(loaded->windowTitle(), u"[CD] MUSICA_01"_s);
  EXPECT_EQ(loaded->model().NumCancionesMP3, 3);
  EXPECT_EQ(logLines().mid(3), QStringList({u"Procediendo a restaurar de la bd..."_s,
                                            u"Abierto desde bd, el listado: MUSICA_01"_s,
                                            u"con 2 directorios y 3 archivos MP3"_s}));
  EXPECT_TRUE(toolbarInUse(loaded));

  answer = MessageAnswer::No;
  QTest::keyClick(window.get(), Qt::Key_F5);
  EXPECT_EQ(messages.size(), 2);
  ASSERT_EQ(listings().size(), 2);
  EXPECT_EQ(listings().last()->model().tree.nodes().front().key, mountPoint);
  EXPECT_EQ(logLines().last(), u"Numero de MP3: 2"_s);
}

TEST_F(MainScanTest, AListingOpenedFromTheStoredListingsWindowIsLoadedAndCannotBeStoredAgain) {
  ASSERT_TRUE(Save2bd(*makeListing(u"/música"_s, kMedioDirectorio, {2, 1})).ok());
  window->findChild<QAction*>(u"mn_reportsonbd"_s)->trigger();
  frm_reportsbd* stored = frm_reportsbd::current();
  ASSERT_TRUE(stored);
  EXPECT_TRUE(stored->isWindow());
  auto* tv = stored->findChild<QTreeWidget*>(u"tv"_s);
  QTreeWidgetItem* node = tv->findItems(u"/música"_s, Qt::MatchExactly | Qt::MatchRecursive)[0];
  QTest::mouseClick(tv->viewport(), Qt::LeftButton, {}, tv->visualItemRect(node).center());
  stored->OpenSelReport();
  stored->OpenSelReport();

  ASSERT_EQ(listings().size(), 2);
  for (frm_report* report : listings()) {
    EXPECT_EQ(report->windowTitle(), u"[DIR] /música"_s);
    EXPECT_EQ(treeLines(report).size(), 1 + 2 + 3);
    EXPECT_FALSE(report->findChild<QAction*>(u"2bd"_s)->isEnabled());
    EXPECT_TRUE(toolbarInUse(report));
  }
}
