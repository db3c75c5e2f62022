#include "listing/gui_listing_store.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QProgressBar>

#include "app/gui_bd_startup.h"
#include "db/bd_write_guard.h"
#include "db/mod_bd.h"
#include "listing/frm_2bar.h"
#include "platform/gui_message_box.h"
#include "support/listing_db_fixture.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

frm_2bar* progressWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* window = qobject_cast<frm_2bar*>(widget)) {
      return window;
    }
  }
  return nullptr;
}

class MessageRecorder {
 public:
  MessageRecorder() {
    setMessageAnswerer([this](const MessageRequest& request) {
      texts.append(request.text);
      return MessageAnswer::Ok;
    });
  }
  ~MessageRecorder() { setMessageAnswerer({}); }
  QStringList texts;
};

}  // namespace

using GuiListingStoreTest = BdTest;

TEST_F(GuiListingStoreTest, ProgressWindowShowsTheStoreAndIsGoneWhenItReturns) {
  auto model = makeListing(u"CD"_s, kMedioCd, {2, 1, 4});
  QStringList seen;
  setStatementHook([&](const QString& sql) {
    const frm_2bar* window = progressWindow();
    if (sql.startsWith(u"INSERT INTO reports"_s) && window && window->isVisible()) {
      const auto* bar = window->findChild<QProgressBar*>(u"ProgressBar2"_s);
      seen << window->findChild<QLabel*>(u"Label1"_s)->text()
           << window->findChild<QLabel*>(u"Label2"_s)->text()
           << QString::number(bar->maximum()) + u'/' + QString::number(bar->value());
    }
  });
  EXPECT_EQ(storeListingWithProgress(nullptr, *model), std::optional<int>(1));
  setStatementHook({});
  EXPECT_EQ(seen, QStringList({u"Proceso Global"_s, u"Volcando mp3"_s, u"7/7"_s}));
  EXPECT_EQ(progressWindow(), nullptr);
  EXPECT_FALSE(QApplication::overrideCursor());
  // The search index has taken the listing already.
  EXPECT_EQ(rows(u"SELECT count(*) FROM search_pending"_s), QStringList{u"0"_s});
  EXPECT_EQ(rows(u"SELECT count(*) FROM search_files WHERE rp_id = 1"_s), QStringList{u"7"_s});
}

TEST_F(GuiListingStoreTest, RefusedOrFailedStoreIsShownInAMessageBox) {
  auto model = makeListing(u"CD"_s, kMedioCd, {1});
  MessageRecorder messages;
  std::optional<int> nested = 0;
  setStatementHook([&](const QString& sql) {
    if (sql.startsWith(u"INSERT INTO infoMP3"_s)) {
      nested = storeListingWithProgress(nullptr, *model);
    }
  });
  EXPECT_EQ(storeListingWithProgress(nullptr, *model), std::optional<int>(1));
  setStatementHook({});
  EXPECT_EQ(nested, std::nullopt);
  ASSERT_EQ(messages.texts.size(), 1);
  EXPECT_TRUE(messages.texts[0].endsWith(bdBusyText()));

  ASSERT_TRUE(BdConnection().Execute(u"DROP TABLE infoMP3"_s));
  EXPECT_EQ(storeListingWithProgress(nullptr, *model), std::nullopt);
  ASSERT_EQ(messages.texts.size(), 2);
  EXPECT_TRUE(messages.texts[1].contains(u"no such table"_s));
  EXPECT_EQ(progressWindow(), nullptr);
}

TEST(Frm2bar, StepWithNothingToWriteShowsAStillEmptyBar) {
  frm_2bar window;
  EXPECT_EQ(window.size(), QSize(457, 45));
  window.showProgress({u"Volcando directorios"_s, 0, 0, 0});
  const auto* bar = window.findChild<QProgressBar*>(u"ProgressBar2"_s);
  EXPECT_GT(bar->maximum(), bar->minimum());
  EXPECT_EQ(bar->value(), 0);
  const QFont font = window.findChild<QLabel*>(u"Label2"_s)->font();
  EXPECT_EQ(font.family(), u"Verdana"_s);
  EXPECT_DOUBLE_EQ(font.pointSizeF(), 8.25);
}

TEST(OpenDatabaseOrQuit, ShowsWhyAndEndsTheProgramWhenTheDatabaseCannotBeOpened) {
  const QString dir = installProgramFiles();
  MessageRecorder messages;
  int ends = 0;
  ASSERT_TRUE(openDatabaseOrQuit(nullptr, [&] { ++ends; }));
  EXPECT_EQ(ends, 0);
  CloseBd();

  ASSERT_TRUE(QFile::remove(dir + u"/quillet.mdb"_s));
  ASSERT_TRUE(QFile::remove(dir + u"/bd-acces2k.blank"_s));
  EXPECT_FALSE(openDatabaseOrQuit(nullptr, [&] { ++ends; }));
  EXPECT_EQ(ends, 1);
  EXPECT_EQ(messages.texts, QStringList({u"No se encuentra la plantilla de base de datos vacía "_s +
                                         dir + u"/bd-acces2k.blank"_s}));
  CloseBd();
}
