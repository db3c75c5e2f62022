#include "stats/frm_stats.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

#include "app/frm_main.h"
#include "db/listing_store.h"
#include "db/mod_bd.h"
#include "listing/frm_report.h"
#include "platform/gui_message_box.h"
#include "stats/gui_stats_chart.h"
#include "support/listing_db_fixture.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

// Three genres of 5, 3 and 1 files; two files without artist, one of them also without tag.
std::unique_ptr<ListingModel> smallListing() {
  auto model = makeListing(u"/discos"_s, kMedioDirectorio, {6, 3});
  const QStringList genres = {u"Rock"_s, u"Rock"_s, u"Jazz"_s, u"Rock"_s, u"Pop"_s,
                              u"Jazz"_s, u"Rock"_s, u"Jazz"_s, u"Rock"_s};
  for (int f = 1; f <= 9; ++f) {
    model->Canciones[f].genre = genres[f - 1];
  }
  model->Canciones[4].artist.clear();
  model->Canciones[8].artist.clear();
  model->Canciones[8].track = u"0"_s;
  model->Canciones[8].filename = u"sin´etiqueta.mp3"_s;
  return model;
}

void doubleClickCell(QTableWidget* grid, int row) {
  const QPoint spot = grid->visualItemRect(grid->item(row, 0)).center();
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, spot);
  QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, spot);
}

QStringList column(const QTableWidget* grid, int col) {
  QStringList texts;
  for (int row = 0; row < grid->rowCount(); ++row) {
    texts.append(grid->item(row, col)->text());
  }
  return texts;
}

// How long the run of bar-coloured pixels is across the middle of bar index.
int drawnLength(const QImage& image, const QRect& bar) {
  int length = 0;
  for (int x = 0; x < image.width(); ++x) {
    length += image.pixelColor(x, bar.center().y()) == StatsChart::barColor() ? 1 : 0;
  }
  return length;
}

class StatsWindowTest : public testing::Test {
 protected:
  void SetUp() override { installProgramFiles(); }
  template <typename T>
  static T* control(const QWidget* window, const QString& name) {
    T* found = window->findChild<T*>(name);
    EXPECT_TRUE(found) << name.toStdString();
    return found;
  }
};

}  // namespace

TEST_F(StatsWindowTest, ChartsAreDrawnWithTheListingsSeriesAndCounts) {
  const auto model = smallListing();
  frm_stats* window = frm_stats::showListing(*model, nullptr, {});
  const std::unique_ptr<frm_stats> owned(window);
  EXPECT_EQ(control<QLabel>(window, u"lblTotales"_s)->text(),
            u"Directorios: 2    Archivos: 9    Artistas: 7    Álbumes: 9"_s);

  StatsChart* genres = control<StatsChart>(window, u"chartGeneros"_s);
  EXPECT_EQ(genres, window->chart(u"generos"_s));
  EXPECT_EQ(genres->title(), u"Archivos por género"_s);
  const std::vector<StatsBar> expected = {{u"Rock"_s, 5}, {u"Jazz"_s, 3}, {u"Pop"_s, 1}};
  EXPECT_EQ(genres->bars(), expected);

  const QSize size(600, 200);
  const QImage image = genres->image(size);
  const int full = drawnLength(image, genres->barRect(0, size));
  ASSERT_GT(full, 100);
  for (size_t i = 0; i < expected.size(); ++i) {
    const int length = drawnLength(image, genres->barRect(static_cast<int>(i), size));
    EXPECT_NEAR(length, full * expected[i].count / 5.0, 1.0) << i;
  }
  EXPECT_EQ(drawnLength(image, QRect(0, 1, 1, 1)), 0);

  // Saved through the output writer as a real PNG and a real SVG.
  const QString dir = TestEnvironment::newTempDir();
  EXPECT_EQ(window->saveChart(u"decadas"_s, dir + u"/d.png"_s), QString());
  // Sized to its content: the last bar, then a margin, and no room left over below.
  const QImage saved(dir + u"/d.png"_s);
  StatsChart* decades = window->chart(u"decadas"_s);
  ASSERT_FALSE(decades->bars().empty());
  const int lastBar = static_cast<int>(decades->bars().size()) - 1;
  const int lastBottom = decades->barRect(lastBar, saved.size()).bottom();
  EXPECT_EQ(saved.width(), 800);
  EXPECT_GT(saved.height(), lastBottom);
  EXPECT_LE(saved.height(), lastBottom + 16);
  EXPECT_EQ(window->saveChart(u"top_artistas"_s, dir + u"/a.svg"_s), QString());
  const QByteArray svg = readFile(dir + u"/a.svg"_s);
  EXPECT_TRUE(svg.contains("<svg")) << svg.left(200).data();
  EXPECT_TRUE(svg.contains("Artistas con m")) << svg.left(400).data();
  EXPECT_FALSE(window->saveChart(u"decadas"_s, dir + u"/missing/d.png"_s).isEmpty());
}

TEST_F(StatsWindowTest, AHealthDoubleClickListsItsFilesAndAFileDoubleClickShowsIt) {
  const auto model = smallListing();
  QStringList shown;
  frm_stats* window =
      frm_stats::showListing(*model, nullptr, [&](const QString& key) { shown.append(key); });
  const std::unique_ptr<frm_stats> owned(window);
  auto* health = control<QTableWidget>(window, u"grdSalud"_s);
  auto* files = control<QTableWidget>(window, u"grdArchivos"_s);
  window->findChild<QTabWidget*>(u"tabStats"_s)->setCurrentIndex(1);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  EXPECT_EQ(column(health, 0), QStringList({u"Sin artista"_s, u"Sin título"_s, u"Sin álbum"_s,
                                            u"Sin año"_s, u"Sin etiqueta"_s}));
  EXPECT_EQ(column(health, 1), QStringList({u"2"_s, u"0"_s, u"0"_s, u"0"_s, u"1"_s}));
  EXPECT_EQ(health->item(0, 2)->text(), u"22,2 %"_s);

  doubleClickCell(health, 0);
  EXPECT_EQ(column(files, 1), QStringList({u"1-4.mp3"_s, u"sin'etiqueta.mp3"_s}));
  doubleClickCell(health, 4);
  EXPECT_EQ(column(files, 1), QStringList({u"sin'etiqueta.mp3"_s}));
  doubleClickCell(files, 0);
  EXPECT_EQ(shown, QStringList({u"/music/dir2/sin'etiqueta.mp3"_s}));
}

// The main window opens the catalogue's window, and the file chosen in it in a listing window.
TEST_F(StatsWindowTest, CatalogueWindowCountsEachMediumAndOpensFilesThroughTheMainWindow) {
  setMessageAnswerer([](const MessageRequest&) { return MessageAnswer::Ok; });
  auto main = std::make_unique<frm_main>();
  main->show();
  ASSERT_TRUE(Save2bd(*smallListing()).ok());
  ASSERT_TRUE(Save2bd(*makeListing(u"CD"_s, kMedioCd, {2})).ok());
  main->findChild<QAction*>(u"mn_estadisticas"_s)->trigger();
  auto* window = main->findChild<frm_stats*>(u"frm_stats"_s);
  ASSERT_TRUE(window);
  auto* totals = control<QLabel>(window, u"lblTotales"_s);
  EXPECT_EQ(totals->text(),
            u"Listados: 2    Directorios: 3    Archivos: 11    Artistas: 7    Álbumes: 9"_s);
  control<QComboBox>(window, u"cboMedio"_s)->setCurrentIndex(1);
  EXPECT_TRUE(totals->text().startsWith(u"Listados: 1    Directorios: 1    Archivos: 2"_s));
  control<QComboBox>(window, u"cboMedio"_s)->setCurrentIndex(2);

  window->findChild<QTabWidget*>(u"tabStats"_s)->setCurrentIndex(1);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  auto* files = control<QTableWidget>(window, u"grdArchivos"_s);
  doubleClickCell(control<QTableWidget>(window, u"grdSalud"_s), 4);
  ASSERT_EQ(column(files, 1), QStringList({u"sin'etiqueta.mp3"_s}));
  doubleClickCell(files, 0);
  const QList<QMdiSubWindow*> opened = main->mdiArea()->subWindowList();
  ASSERT_EQ(opened.size(), 1);
  auto* tv = opened.front()->widget()->findChild<QTreeWidget*>(u"tv"_s);
  ASSERT_TRUE(tv->currentItem());
  EXPECT_EQ(tv->currentItem()->text(0), u"sin'etiqueta.mp3"_s);
  delete window;
  main.reset();
  setMessageAnswerer({});
  CloseBd();
}
