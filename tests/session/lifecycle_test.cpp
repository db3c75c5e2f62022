#include "session/lifecycle.h"

#include <optional>

#include "base/app_info.h"
#include "base/loaded_forms.h"
#include "base/log.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

const QString kBannerRule(52, u'-');

// Records, in one sequence, every log list line, the caption, the beep and the process end.
class LifecycleTest : public testing::Test {
 protected:
  void SetUp() override {
    setLogListSink([this](const QString& line) { events.append(line); });
    setProcessEnd([this] { events.append(u"<end>"_s); });
  }
  void TearDown() override { setLogListSink({}); }

  void writeConfig(const QByteArray& content) { writeFile(ProgramFile(u"config.ini"_s), content); }
  void initApp() {
    InitApp([this](const QString& caption) { events.append(u"<caption> "_s + caption); });
  }
  void shutdown() {
    Shutdown([this] { events.append(u"<beep>"_s); });
  }

  QStringList events;
};

}  // namespace

TEST_F(LifecycleTest, StartUpSetsTheCaptionThenWritesTheBannerToListAndFile) {
  writeConfig("[log]\r\nlogfile=quillet.log\r\n");
  initApp();
  EXPECT_EQ(events, QStringList({u"<caption> "_s + AppTitle(), AppTitle(), kBannerRule,
                                 u"Inicializando..."_s}));
  EXPECT_EQ(LogFilePath(), TestEnvironment::programDir() + u"/quillet.log"_s);
  EXPECT_EQ(readFile(LogFilePath()),
            AppTitle().toLatin1() + "\r\n" + kBannerRule.toLatin1() + "\r\nInicializando...\r\n");
}

TEST_F(LifecycleTest, SecondRunAppendsToTheSameLogFile) {
  writeConfig("[log]\r\nlogfile=quillet.log\r\n");
  initApp();
  WriteLog(u"Gestión del primer arranque"_s);
  initApp();
  const QByteArray banner =
      AppTitle().toLatin1() + "\r\n" + kBannerRule.toLatin1() + "\r\nInicializando...\r\n";
  // The log file is in Windows-1252: "ó" is the single byte 0xF3.
  EXPECT_EQ(readFile(ProgramFile(u"quillet.log"_s)),
            banner + "Gesti\xF3n del primer arranque\r\n" + banner);
}

TEST_F(LifecycleTest, UnwritableLogFileKeepsTheListGoingWithOneLineSayingWhy) {
  const std::vector<std::pair<QByteArray, QString>> cases = {
      {"[bd]\r\ncadcon=x\r\n", u"clave logfile"_s},
      {"[log]\r\nlogfile=\r\n", u"clave logfile"_s},
      {"[log]\r\nlogfile=no-such-dir/quillet.log\r\n", u"no-such-dir no existe"_s},
  };
  for (const auto& [config, reason] : cases) {
    SCOPED_TRACE(config.toStdString());
    events.clear();
    writeConfig(config);
    initApp();
    WriteLog(u"sigue"_s);
    ASSERT_EQ(events.size(), 6);
    EXPECT_TRUE(events[1].startsWith(u"No se puede escribir en el archivo de log"_s));
    EXPECT_TRUE(events[1].contains(reason)) << events[1].toStdString();
    EXPECT_EQ(events.mid(2),
              QStringList({AppTitle(), kBannerRule, u"Inicializando..."_s, u"sigue"_s}));
  }
}

TEST_F(LifecycleTest, ShutdownNamesLoadedFormsInLoadingOrderClosesTheDatabaseThenEnds) {
  LoadedForm main(u"frm_main"_s);
  std::optional<LoadedForm> closedListing(std::in_place, u"frm_report"_s);
  LoadedForm listing(u"frm_report"_s);
  LoadedForm about(u"frm_about"_s);
  closedListing.reset();
  shutdown();
  EXPECT_EQ(events,
            QStringList({u"Cerrando frm_main"_s, u"Cerrando frm_report"_s, u"Cerrando frm_about"_s,
                         u"Cerrando posible conjunto de registros abierto"_s,
                         u"Cerrando conexion BD"_s, u"Conexion BD cerrada satisfactoriamente"_s,
                         u"cerrando..."_s, u"<beep>"_s, u"<end>"_s}));
  EXPECT_TRUE(readFile(LogFilePath()).endsWith("satisfactoriamente\r\ncerrando...\r\n"));
}
