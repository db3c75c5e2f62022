// The catalogue on a server that is down when the program starts, or goes down while it runs:
// each window says so in itself, shows no figure it could not read, and works again on
// «Reintentar» without anything being reopened.

#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include "db/frm_reportsbd.h"
#include "db/listing_store.h"
#include "db/mod_bd.h"
#include "listing/frm_report.h"
#include "listing/gui_notice_strip.h"
#include "platform/gui_message_box.h"
#include "search/frm_search.h"
#include "stats/frm_stats.h"
#include "support/listing_db_fixture.h"

using namespace Qt::StringLiterals;

namespace {

template <typename T>
T* control(const QWidget* window, const QString& name) {
  auto* found = window->findChild<T*>(name);
  EXPECT_TRUE(found) << name.toStdString();
  return found;
}

QPushButton* retryButton(const QWidget* window) {
  for (QPushButton* button : window->findChildren<QPushButton*>(u"cmdReintentar"_s)) {
    if (button->isVisibleTo(window)) {
      return button;
    }
  }
  return nullptr;
}

bool offersRetry(const QWidget* window) {
  return retryButton(window) != nullptr;
}

// The three windows that read the catalogue, opened as the menus open them.
struct Windows {
  Windows()
      : stored(frm_reportsbd::Instance(nullptr)),
        stats(frm_stats::showCatalogue(nullptr)),
        search(frm_search::Instance(nullptr)) {
    search->findChild<QLineEdit*>(u"txtBuscar"_s)->setText(u"title3"_s);
    search->Busca();
  }
  ~Windows() {
    delete stored.data();
    delete stats.data();
    delete search.data();
  }
  // True once each window says it cannot read the catalogue.
  bool allOfferRetry() const {
    return !search->searching() && offersRetry(search) && offersRetry(stats) && offersRetry(stored);
  }
  // True once each window shows the catalogue.
  bool allShowTheCatalogue() const {
    return !search->searching() && !offersRetry(search) && !offersRetry(stats) &&
           !offersRetry(stored) && stored->findChild<QTreeWidget*>(u"tv"_s)->topLevelItemCount();
  }
  void reload() const {
    stored->Recarga();
    stats->Recalcula();
    search->Busca();
  }
  void retry() const {
    for (QWidget* window : {static_cast<QWidget*>(stored), static_cast<QWidget*>(stats),
                            static_cast<QWidget*>(search)}) {
      if (QPushButton* retry = retryButton(window)) {
        QTest::mouseClick(retry, Qt::LeftButton);
      }
    }
  }

  QPointer<frm_reportsbd> stored;
  QPointer<frm_stats> stats;
  QPointer<frm_search> search;
};

class ReconnectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_TEST_SERVER();
    server_ = std::make_unique<ServerDatabase>();
    installProgramFiles(server_->cadcon());
  }
  void TearDown() override {
    CloseBd();
    if (server_) {
      setReachable(true);
    }
  }
  // A database that takes no connection stands for a server that is down.
  void setReachable(bool reachable) const {
    ASSERT_TRUE(execOnServer(
        {u"ALTER DATABASE %1 ALLOW_CONNECTIONS %2"_s.arg(server_->name(),
                                                         reachable ? u"true"_s : u"false"_s),
         u"select pg_terminate_backend(pid) from pg_stat_activity where datname = '%1'"_s.arg(
             server_->name())}));
  }
  static void expectEachSaysItCannotRead(const Windows& windows) {
    ASSERT_TRUE(QTest::qWaitFor([&] { return windows.allOfferRetry(); }, 20000));
    EXPECT_FALSE(control<QTreeWidget>(windows.stored, u"tv"_s)->isVisibleTo(windows.stored));
    EXPECT_TRUE(control<QLabel>(windows.stored, u"lblFalloBD"_s)
                    ->text()
                    .startsWith(u"No se pueden leer los listados de la BD: "_s));
    EXPECT_FALSE(control<QLabel>(windows.stats, u"lblTotales"_s)->isVisibleTo(windows.stats));
    EXPECT_TRUE(control<QLabel>(windows.search, u"lblCuenta"_s)
                    ->text()
                    .startsWith(u"No se ha podido buscar: "_s));
  }
  static void expectEachShowsTheCatalogue(const Windows& windows, int listings) {
    ASSERT_TRUE(QTest::qWaitFor([&] { return windows.allShowTheCatalogue(); }, 20000));
    auto* tv = control<QTreeWidget>(windows.stored, u"tv"_s);
    EXPECT_TRUE(tv->isVisibleTo(windows.stored));
    EXPECT_EQ(tv->topLevelItem(0)->childCount(), listings);
    EXPECT_TRUE(control<QLabel>(windows.stats, u"lblTotales"_s)
                    ->text()
                    .startsWith(u"Listados: %1 "_s.arg(listings)));
    EXPECT_EQ(control<QLabel>(windows.search, u"lblCuenta"_s)->text(),
              listings ? u"1 archivo en 1 listado"_s : u"0 archivos en 0 listados"_s);
  }

  // The server up again, «Reintentar» pressed in each window that offers it.
  void bringBackAndRetry(const Windows& windows, int listings) const {
    setReachable(true);
    windows.retry();
    expectEachShowsTheCatalogue(windows, listings);
  }
  // The catalogue opened with one listing stored, and the windows showing it.
  static std::unique_ptr<Windows> windowsOverOneListing() {
    EXPECT_EQ(OpenBdAtStartUp(), QString());
    EXPECT_TRUE(Save2bd(*makeListing(u"CD"_s, kMedioCd, {3})).ok());
    auto windows = std::make_unique<Windows>();
    expectEachShowsTheCatalogue(*windows, 1);
    return windows;
  }

  std::unique_ptr<ServerDatabase> server_;
};

}  // namespace

TEST_F(ReconnectTest, AServerDownAtStartIsUsedOnceItIsUp) {
  setReachable(false);
  ASSERT_FALSE(OpenBdAtStartUp().isEmpty());
  const Windows windows;
  expectEachSaysItCannotRead(windows);

  bringBackAndRetry(windows, 0);
  ASSERT_TRUE(Save2bd(*makeListing(u"CD"_s, kMedioCd, {3})).ok());
  windows.reload();
  expectEachShowsTheCatalogue(windows, 1);
}

TEST_F(ReconnectTest, AServerLostDuringUseIsSaidInEachWindowAndReadAgainOnRetry) {
  const auto shown = windowsOverOneListing();
  const Windows& windows = *shown;

  setReachable(false);
  windows.reload();
  expectEachSaysItCannotRead(windows);

  bringBackAndRetry(windows, 1);
}

// A server restarted between two uses: the read that meets the lost connection is made again
// on a new one, and the window never knows.
TEST_F(ReconnectTest, AReadThatMeetsALostConnectionIsMadeAgain) {
  const auto shown = windowsOverOneListing();
  const Windows& windows = *shown;
  setReachable(false);
  setReachable(true);
  QSignalSpy rebuilt(control<QTreeWidget>(windows.stored, u"tv"_s)->model(),
                     &QAbstractItemModel::modelReset);
  windows.reload();
  ASSERT_TRUE(QTest::qWaitFor([&] { return rebuilt.count() > 0; }, 20000));
  expectEachShowsTheCatalogue(windows, 1);
}

// The listing window's store and a stored listing's opening try a server that is down off the
// window's thread: each returns before the try ends, then says why in its window, with no
// message box; «Reintentar» does each once the server is up.
TEST_F(ReconnectTest, TheListingWindowSaysItCannotStoreOrOpenAndDoesSoOnRetry) {
  setReachable(false);
  ASSERT_FALSE(OpenBdAtStartUp().isEmpty());
  QStringList boxes;
  setMessageAnswerer([&boxes](const MessageRequest& request) {
    boxes.append(request.text);
    return MessageAnswer::Ok;
  });
  QMdiArea area;
  area.show();
  frm_report* report = frm_report::openIn(area);
  report->model() = std::move(*makeListing(u"CD"_s, kMedioCd, {3}));
  report->Save2bd();
  frm_report::openStoredIn(area, 1);
  auto* opened = qobject_cast<frm_report*>(area.subWindowList().last()->widget());
  ASSERT_TRUE(opened);
  ASSERT_TRUE(QTest::qWaitFor([&] { return offersRetry(report) && offersRetry(opened); }, 20000));
  for (const auto& [window, text] :
       {std::pair{report, u"No se ha podido almacenar el listado en la BD: "_s},
        {opened, u"No se ha podido abrir el listado de la BD: "_s}}) {
    EXPECT_TRUE(control<QLabel>(window, u"lblFalloBD"_s)->text().startsWith(text));
  }
  EXPECT_EQ(area.subWindowList().size(), 2);
  EXPECT_TRUE(report->notices().notices().isEmpty());

  setReachable(true);
  QTest::mouseClick(retryButton(report), Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        return report->notices().notices().contains(u"Almacenado en la BD con el número 1"_s);
      },
      20000));
  QTest::mouseClick(retryButton(opened), Qt::LeftButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return opened->windowTitle() == u"[CD] CD"_s; }, 20000));
  EXPECT_FALSE(offersRetry(report) || offersRetry(opened));
  EXPECT_EQ(boxes, QStringList());
  setMessageAnswerer({});
}
