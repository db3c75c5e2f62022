#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>

#include "base/app_info.h"
#include "db/mod_bd.h"
#include "listing/gui_notice_strip.h"
#include "listing_window_fixture.h"
#include "output/export_writer.h"
#include "output/form2.h"
#include "platform/desktop_opener.h"
#include "platform/gui_message_box.h"
#include "platform/settings_store.h"
#include "stats/frm_stats.h"
#include "stats/gui_stats_chart.h"
#include "support/fixtures.h"
#include "support/listing_db_fixture.h"
#include "support/read_only_dir.h"

using namespace Qt::StringLiterals;

namespace {

// One directory with one file, with characters that the exports must encode or escape.
void fillSmallListing(ListingModel& model) {
  model.FinalName = u"/música/A&B"_s;
  model.FinalType = kMedioDirectorio;
  model.Directorios[1] = {u"/música/A&B"_s, 1, 1};
  model.Canciones[1].filename = u"01 Intro.mp3"_s;
  model.Canciones[1].title = u"Tom & Jerry"_s;
  model.Canciones[1].fileorder = u"1"_s;
  model.NumDirectoriosMP3 = model.DirActualNum = 1;
  model.NumCancionesMP3 = 1;
  model.CancionActualNum = 2;
}

class ListingCommandsTest : public ListingWindowTest {
 protected:
  void SetUp() override {
    ListingWindowTest::SetUp();
    setDesktopOpenHandler([this](const QString& target) {
      opened.append(target);
      return openerAnswer;
    });
    setMessageAnswerer([this](const MessageRequest& request) {
      messages.append(request.text);
      return MessageAnswer::Ok;
    });
  }
  void TearDown() override {
    setDesktopOpenHandler({});
    setMessageAnswerer({});
  }

  void typeDesign(const QString& field, const QString& design) {
    auto* edit = control<QLineEdit>(field);
    edit->clear();
    QTest::keyClicks(edit, design);
  }
  void refreshWithDesigns(const QString& directory, const QString& file) {
    typeDesign(u"Text2"_s, directory);
    typeDesign(u"Text1"_s, file);
    clickToolbar(u"refresca"_s);
  }
  void chooseExport(const QString& key) {
    toolbarButton(u"exporta"_s)->menu()->findChild<QAction*>(key)->trigger();
  }

  QStringList opened;
  bool openerAnswer = true;
  QStringList messages;
};

}  // namespace

TEST_F(ListingCommandsTest, RefrescaRendersList1AndSavesDesignsThatTheNextWindowStartsWith) {
  fillSmallListing(report_->model());
  EXPECT_EQ(report_->entries(), QStringList());
  refreshWithDesigns(u"{#D} {TD}"_s, u"{#F}{Tb}{TF} / {3Tit}"_s);
  EXPECT_EQ(report_->entries(),
            QStringList({u"D-1 /música/A&B"_s, u"F-1\t01 Intro / Tom & Jerry"_s, u"  "_s}));

  frm_report* next = frm_report::openIn(area_);
  EXPECT_EQ(next->findChild<QLineEdit*>(u"Text2"_s)->text(), u"{#D} {TD}"_s);
  EXPECT_EQ(next->findChild<QLineEdit*>(u"Text1"_s)->text(), u"{#F}{Tb}{TF} / {3Tit}"_s);
}

TEST_F(ListingCommandsTest, ExportsWriteTheirFilesAndHandThemToTheDesktop) {
  fillSmallListing(report_->model());
  refreshWithDesigns(u"{#D} {TD}"_s, u"{#F}{Tb}{TF}"_s);
  chooseExport(u"export_txt"_s);
  chooseExport(u"export_html"_s);

  EXPECT_EQ(readFile(ProgramFile(u"lista.txt"_s)), "1 /m\xFAsica/A&B\r\n1\t01 Intro\r\n\r\n");
  const QByteArray head = HtmlPageHead().toLatin1();
  EXPECT_EQ(readFile(ProgramFile(u"lista.html"_s)),
            head +
                "\r\n<table width='100%' border='1' cellspacing='0' cellpadding='0'>\r\n"
                "<tr><td>&nbsp;1 /m\xFAsica/A&amp;B</td></tr>\r\n"
                "<tr><td>&nbsp;1&nbsp;</td><td>&nbsp;01 Intro</td></tr>\r\n"
                "<tr><td>&nbsp;</td></tr>\r\n</table>\r\n</BODY></HTML>\r\n");
  EXPECT_EQ(opened, QStringList({ProgramFile(u"lista.txt"_s), ProgramFile(u"lista.html"_s)}));
  EXPECT_TRUE(messages.isEmpty());
}

// The files come from the listing itself, with the separator chosen in Opciones, whether or
// not the text lines were rendered; lista.txt is left alone.
TEST_F(ListingCommandsTest, CsvAndJsonExportsWriteTheListingsFilesBesideTheOthers) {
  fillSmallListing(report_->model());
  writeFile(ProgramFile(u"lista.txt"_s), "kept");
  SaveSetting(u"cfg"_s, u"csv_separator"_s, u"semicolon"_s);
  chooseExport(u"export_csv"_s);
  chooseExport(u"export_json"_s);
  EXPECT_EQ(opened, QStringList({ProgramFile(u"lista.csv"_s), ProgramFile(u"lista.json"_s)}));
  const QByteArray csv = readFile(ProgramFile(u"lista.csv"_s));
  EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBFlistado;medio;num_directorio;")) << csv.data();
  EXPECT_TRUE(
      csv.endsWith("\r\n/m\xC3\xBAsica/A&B;DIR;1;/m\xC3\xBAsica/A&B;1;1;01 Intro.mp3;;"
                   "Tom & Jerry;;;;;;;;;\r\n"))
      << csv.data();
  EXPECT_TRUE(
      readFile(ProgramFile(u"lista.json"_s)).startsWith("{\"listado\": \"/m\xC3\xBAsica/A&B\""));
  EXPECT_EQ(readFile(ProgramFile(u"lista.txt"_s)), "kept");
  EXPECT_TRUE(messages.isEmpty());
  SaveSetting(u"cfg"_s, u"csv_separator"_s, u"comma"_s);
  for (const QString& name : {u"lista.txt"_s, u"lista.csv"_s, u"lista.json"_s}) {
    QFile::remove(ProgramFile(name));
  }
}

TEST_F(ListingCommandsTest, EstadisticasOpensTheListingsFiguresAndTheirFilesChooseItsNodes) {
  fillSmallListing(report_->model());
  NodeTree& tree = report_->model().tree;
  tree.addRoot(u"raíz"_s, u"raíz"_s, kImageDirectory);
  tree.addChild(u"raíz"_s, u"/música/A&B"_s, u"/música/A&B"_s, kImageDirectory);
  tree.addChild(u"/música/A&B"_s, u"/música/A&B/01 Intro.mp3"_s, u"01 Intro.mp3"_s, kImageMp3);
  clickToolbar(u"estadisticas"_s);
  auto* stats = report_->findChild<frm_stats*>();
  ASSERT_TRUE(stats);
  EXPECT_EQ(stats->chart(u"top_artistas"_s)->bars(), std::vector<StatsBar>());
  EXPECT_EQ(stats->findChild<QLabel*>(u"lblTotales"_s)->text(),
            u"Directorios: 1    Archivos: 1    Artistas: 0    Álbumes: 0"_s);
  stats->ListaArchivos(0);
  auto* files = stats->findChild<QTableWidget*>(u"grdArchivos"_s);
  ASSERT_EQ(files->rowCount(), 1);
  emit files->cellDoubleClicked(0, 0);
  QTreeWidgetItem* chosen = report_->findChild<QTreeWidget*>(u"tv"_s)->currentItem();
  ASSERT_TRUE(chosen);
  EXPECT_EQ(chosen->text(0), u"01 Intro.mp3"_s);
  delete stats;
}

TEST_F(ListingCommandsTest, ExportsGoToTheUsersDataDirectoryWhenTheProgramDirIsReadOnly) {
  const QString root = TestEnvironment::newTempDir();
  const ScopedEnv dataHome("XDG_DATA_HOME", QFile::encodeName(root + u"/data"_s));
  const ReadOnlyDir program(root + u"/program"_s, {});
  const QString shipped = ProgramDir();
  setProgramDir(program.path());
  fillSmallListing(report_->model());
  clickToolbar(u"refresca"_s);
  chooseExport(u"export_txt"_s);
  chooseExport(u"export_html"_s);
  const QString userDir = root + u"/data/Quillet"_s;
  EXPECT_EQ(opened, QStringList({userDir + u"/lista.txt"_s, userDir + u"/lista.html"_s}));
  EXPECT_TRUE(readFile(userDir + u"/lista.txt"_s).startsWith("1 /m\xFAsica/A&B"));
  EXPECT_TRUE(QFileInfo(userDir + u"/lista.html"_s).isFile());
  EXPECT_TRUE(messages.isEmpty());
  EXPECT_TRUE(QDir(program.path()).isEmpty());
  setProgramDir(shipped);
}

TEST_F(ListingCommandsTest, ExportWithoutADesktopOpenerStillWritesTheFile) {
  openerAnswer = false;
  LogRecorder log;
  chooseExport(u"export_txt"_s);
  EXPECT_TRUE(QFileInfo(ProgramFile(u"lista.txt"_s)).isFile());
  EXPECT_EQ(log.lines, QStringList({u"No se ha podido abrir %1 en el escritorio"_s.arg(
                           ProgramFile(u"lista.txt"_s))}));
  EXPECT_TRUE(messages.isEmpty());
}

TEST_F(ListingCommandsTest, ExportThatCannotWriteItsFileSaysWhyAndLeavesTheWindowUsable) {
  ASSERT_TRUE(QDir().mkpath(ProgramFile(u"lista.txt"_s)));
  fillSmallListing(report_->model());
  clickToolbar(u"refresca"_s);
  LogRecorder log;
  chooseExport(u"export_txt"_s);

  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].startsWith(u"No se ha podido exportar el listado a "_s +
                                     ProgramFile(u"lista.txt"_s)));
  ASSERT_EQ(log.lines.size(), 1);
  EXPECT_TRUE(log.lines[0].endsWith(messages[0].section(u"\n\n"_s, 1)))
      << log.lines[0].toStdString();
  EXPECT_TRUE(opened.isEmpty());

  chooseExport(u"export_html"_s);
  EXPECT_EQ(opened, QStringList({ProgramFile(u"lista.html"_s)}));
  EXPECT_TRUE(control<QToolBar>(u"Toolbar1"_s)->isEnabled());
}

TEST_F(ListingCommandsTest, ImprimeOpensThePrintWindowForThisListing) {
  fillSmallListing(report_->model());
  clickToolbar(u"refresca"_s);
  report_->setTag(u"101112"_s);
  clickToolbar(u"imprime"_s);
  QPointer<Form2> printWindow = Form2::instance();
  EXPECT_TRUE(printWindow->isVisible());
  EXPECT_EQ(printWindow->indicereport(), u"101112"_s);
  EXPECT_TRUE(subWindow_->isVisible());
  printWindow->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(printWindow.isNull());
}

class ListingStoreTest : public ListingCommandsTest {
 protected:
  void SetUp() override {
    installProgramFiles();
    ASSERT_EQ(OpenBd(), QString());
    ListingCommandsTest::SetUp();
  }
  void TearDown() override {
    ListingCommandsTest::TearDown();
    CloseBd();
  }
  QStringList rows(const QString& sql) const { return queryRows(BdPath(), sql); }
};

TEST_F(ListingStoreTest, StoreKeepsTheToolbarOutOfUseAndTheWindowOpenUntilItEnds) {
  fillSmallListing(report_->model());
  bool toolbarEnabledDuringStore = true;
  // Runs at the store's first event pump.
  QTimer::singleShot(0, report_, [&] {
    toolbarEnabledDuringStore = control<QToolBar>(u"Toolbar1"_s)->isEnabled();
    subWindow_->close();
  });
  clickToolbar(u"2bd"_s);
  EXPECT_FALSE(toolbarEnabledDuringStore);
  EXPECT_EQ(rows(u"select * from reports"_s), QStringList({u"1|/música/A&B|2|/música/A&B"_s}));
  EXPECT_EQ(rows(u"select filename, filegenorder from infoMP3"_s),
            QStringList({u"01 Intro.mp3|1"_s}));
  // The close asked for during the store runs once it has ended.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(report_.isNull());
}

TEST_F(ListingStoreTest, EachStoreSaysItsNumberInTheNoticeStripAndAFailureSaysNothingThere) {
  fillSmallListing(report_->model());
  LogRecorder log;
  QStringList boxes;
  setMessageAnswerer([&boxes](const MessageRequest& request) {
    boxes.append(request.text);
    return MessageAnswer::Ok;
  });
  clickToolbar(u"2bd"_s);
  EXPECT_EQ(report_->notices().notices(), QStringList{u"Almacenado en la BD con el número 1"_s});
  EXPECT_TRUE(report_->notices().isVisible());
  EXPECT_TRUE(toolbarAction(u"2bd"_s)->isEnabled());
  clickToolbar(u"2bd"_s);
  EXPECT_EQ(report_->notices().notices(), QStringList{u"Almacenado en la BD con el número 2"_s});
  EXPECT_EQ(log.lines, QStringList());  // storing writes nothing to the log

  ASSERT_TRUE(BdConnection().Execute(u"DROP TABLE infoMP3"_s));
  clickToolbar(u"2bd"_s);
  setMessageAnswerer({});
  EXPECT_EQ(boxes.size(), 1);
  EXPECT_EQ(report_->notices().notices(), QStringList{u"Almacenado en la BD con el número 2"_s});
}

TEST_F(ListingStoreTest, LoadingAListingThatIsGoneClosesTheEmptyWindow) {
  LogRecorder log;
  report_->Load4bd(7);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(report_.isNull());
  EXPECT_EQ(log.lines, QStringList({u"El listado número 7 ya no existe en la BD"_s}));
}

TEST_F(ListingStoreTest, AListingMarkedIncompleteSaysSoInItsStripWhenOpenedFromTheCatalogue) {
  fillSmallListing(report_->model());
  report_->model().notices.incomplete = true;
  report_->Save2bd();
  fillSmallListing(report_->model());
  report_->model().notices.incomplete = false;
  report_->Save2bd();
  for (const auto& [id, shown] : {std::pair{1, true}, {2, false}}) {
    frm_report::openStoredIn(area_, id);
    auto* opened = qobject_cast<frm_report*>(area_.subWindowList().last()->widget());
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->notices().notices().contains(
                  u"Listado incompleto: su escaneo se detuvo antes de recorrer todo el árbol, "
                  u"en los límites clásicos o con «Detener»"_s),
              shown)
        << id;
  }
}
