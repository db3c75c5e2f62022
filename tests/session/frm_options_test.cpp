#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QMdiArea>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include "app/frm_main.h"
#include "db/mod_bd.h"
#include "listing/frm_report.h"
#include "listing/gui_notice_strip.h"
#include "platform/settings_store.h"
#include "session/frm_options.h"
#include "session/program_options.h"
#include "support/audio_fixtures.h"
#include "support/fixtures.h"
#include "support/listing_db_fixture.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

class OptionsWindowTest : public testing::Test {
 protected:
  void SetUp() override { SaveProgramOptions({}); }
  void TearDown() override {
    delete window_;
    SaveProgramOptions({});
  }

  frm_options* open() {
    window_ = frm_options::showInstance();
    return window_;
  }
  QComboBox* combo(const char* name) {
    return window_->findChild<QComboBox*>(QString::fromLatin1(name));
  }
  void click(const char* name) {
    QTest::mouseClick(window_->findChild<QPushButton*>(QString::fromLatin1(name)), Qt::LeftButton);
  }

  QPointer<frm_options> window_;
};

}  // namespace

TEST_F(OptionsWindowTest, StartsAtTheProgramsOwnChoicesWhenNothingIsSaved) {
  open();
  EXPECT_EQ(window_->windowTitle(), u"Opciones"_s);
  EXPECT_EQ(combo("Combo1")->currentText(), u"Sólo ID3v1"_s);
  EXPECT_EQ(combo("Combo2")->currentText(), u"Windows-1252"_s);
  EXPECT_EQ(combo("Combo3")->currentText(), u"Windows-1252"_s);
  EXPECT_EQ(combo("Combo1")->count(), 3);
  EXPECT_EQ(combo("Combo2")->count(), 6);
  EXPECT_EQ(LoadProgramOptions(), ProgramOptions{});
}

TEST_F(OptionsWindowTest, AceptarSavesTheChoicesAndTheNextOpeningShowsThem) {
  open();
  combo("Combo1")->setCurrentText(u"ID3v1 y, si falta, ID3v2"_s);
  combo("Combo2")->setCurrentText(u"Windows-1251"_s);
  combo("Combo3")->setCurrentText(u"UTF-8"_s);
  click("Command1");
  QTest::qWait(0);
  EXPECT_TRUE(window_.isNull());
  EXPECT_EQ(GetSetting(u"cfg"_s, u"tag_source"_s, {}), u"v1v2"_s);
  EXPECT_EQ(GetSetting(u"cfg"_s, u"id3v1_codepage"_s, {}), u"Windows-1251"_s);
  EXPECT_EQ(GetSetting(u"cfg"_s, u"export_encoding"_s, {}), u"utf8"_s);

  open();
  EXPECT_EQ(combo("Combo1")->currentText(), u"ID3v1 y, si falta, ID3v2"_s);
  EXPECT_EQ(combo("Combo2")->currentText(), u"Windows-1251"_s);
  EXPECT_EQ(combo("Combo3")->currentText(), u"UTF-8"_s);
  combo("Combo3")->setCurrentText(u"Windows-1252"_s);
  click("Command2");  // Cancelar keeps what was saved
  EXPECT_EQ(LoadProgramOptions().exportEncoding, ExportEncoding::Utf8);
}

TEST_F(OptionsWindowTest, UnknownSavedValuesMeanTheProgramsOwnBehaviour) {
  SaveSetting(u"cfg"_s, u"tag_source"_s, u"v3"_s);
  SaveSetting(u"cfg"_s, u"id3v1_codepage"_s, u"EBCDIC"_s);
  SaveSetting(u"cfg"_s, u"listing_limits"_s, u"some"_s);
  EXPECT_EQ(LoadProgramOptions(), ProgramOptions{});
}

TEST_F(OptionsWindowTest, Combo4ChoosesTheSizeOfTheListingsClassicUnlessChangedAndSavesIt) {
  open();
  QComboBox* limits = combo("Combo4");
  ASSERT_NE(limits, nullptr);
  EXPECT_EQ(limits->currentText(), u"Límites clásicos (500 directorios con MP3, 1000 archivos)"_s);
  EXPECT_EQ(limits->count(), 2);
  limits->setCurrentText(u"Sin límite"_s);
  click("Command1");
  EXPECT_EQ(GetSetting(u"cfg"_s, u"listing_limits"_s, {}), u"none"_s);
  EXPECT_EQ(LoadProgramOptions().limits, ListingLimits::None);

  open();
  EXPECT_EQ(combo("Combo4")->currentText(), u"Sin límite"_s);
  combo("Combo4")->setCurrentIndex(0);
  click("Command1");
  EXPECT_EQ(GetSetting(u"cfg"_s, u"listing_limits"_s, {}), u"classic"_s);
}

TEST_F(OptionsWindowTest, TheNextScanReadsTagsAsChosen) {
  const QString dir = TestEnvironment::newTempDir();
  const QString path = dir + u"/song.mp3"_s;
  const QByteArray v1 =
      id3v1Block({.title = "\xcf\xf0\xe8\xe2\xe5\xf2"});  // "Привет", Windows-1251
  writeMp3(path, v1);
  const auto scanTitle = [&] {
    frm_report report;
    report.model().RutaInicial = dir;
    report.Gouu();
    return report.model().Canciones[1].title;
  };
  EXPECT_EQ(scanTitle(), u"Ïðèâåò"_s);

  open();
  combo("Combo2")->setCurrentText(u"Windows-1251"_s);
  click("Command1");
  EXPECT_EQ(scanTitle(), u"Привет"_s);

  QProcess writer;
  writer.start(u"mid3v2"_s, {u"-t"_s, u"Desde ID3v2"_s, path});
  ASSERT_TRUE(writer.waitForFinished(30000));
  writeFile(path, readFile(path).chopped(128) + v1);  // the writer updated the ID3v1 block too
  EXPECT_EQ(scanTitle(), u"Привет"_s);                // still ID3v1 only
  open();
  combo("Combo1")->setCurrentText(u"ID3v2 y, si falta, ID3v1"_s);
  click("Command1");
  EXPECT_EQ(scanTitle(), u"Desde ID3v2"_s);
}

TEST(MainWindowOptions, OpcionesIsTheLastItemOfHerramientas) {
  installProgramFiles();
  frm_main window;
  auto* tools = window.findChild<QMenu*>(u"mn_tools"_s);
  ASSERT_NE(tools, nullptr);
  QAction* last = tools->actions().back();
  EXPECT_EQ(last->objectName(), u"mn_opciones"_s);
  EXPECT_EQ(last->text(), u"Opciones..."_s);
  last->trigger();
  auto* options = window.findChild<frm_options*>(u"frm_options"_s);
  ASSERT_NE(options, nullptr);
  EXPECT_TRUE(options->isVisible());
  CloseBd();
}

TEST_F(OptionsWindowTest, Combo5AndCheck1ChooseTheFilesAndTheirDurationAndAreSaved) {
  open();
  EXPECT_EQ(combo("Combo5")->currentText(), u"Sólo MP3"_s);
  EXPECT_EQ(combo("Combo5")->count(), 2);
  auto* properties = window_->findChild<QCheckBox*>(u"Check1"_s);
  ASSERT_NE(properties, nullptr);
  EXPECT_EQ(properties->text(), u"Leer duración y calidad"_s);
  EXPECT_FALSE(properties->isChecked());
  combo("Combo5")->setCurrentText(u"Todo el audio"_s);
  properties->setChecked(true);
  click("Command1");
  EXPECT_EQ(GetSetting(u"cfg"_s, u"audio_files"_s, {}), u"all"_s);
  EXPECT_EQ(GetSetting(u"cfg"_s, u"audio_properties"_s, {}), u"on"_s);
  open();
  EXPECT_EQ(combo("Combo5")->currentText(), u"Todo el audio"_s);
  EXPECT_TRUE(window_->findChild<QCheckBox*>(u"Check1"_s)->isChecked());
}

// The listing window of a scan: its notices, and the placeholders its pickers offer.
TEST_F(OptionsWindowTest, TheNextScanWindowNoticesWhatWasLeftOutOrItsTotal) {
  const QString dir = TestEnvironment::newTempDir();
  writeMp3(dir + u"/a.mp3"_s, id3v1Block({.title = "A"}));
  writeFile(dir + u"/v2.mp3"_s, QByteArray("ID3\x03\0\0\0\0\0\0", 10) + QByteArray(300, 'x'));
  makeAudioFiles({{dir + u"/b.flac"_s, 66150}, {dir + u"/c.wav"_s, 22050}});
  const auto scanWindow = [&](const std::function<void(frm_report&)>& check) {
    frm_report report;
    report.model().RutaInicial = dir;
    report.Gouu();
    check(report);
  };
  LogCapture log;
  scanWindow([](frm_report& report) {
    EXPECT_EQ(report.notices().notices(),
              (QStringList{u"1 archivo tiene etiquetas ID3v2 que no se leen: elija «ID3v2 y, si "
                           u"falta, ID3v1» en Herramientas > Opciones..."_s,
                           u"2 archivos de audio de otros formatos no se listan: elija «Todo el "
                           u"audio» en Herramientas > Opciones..."_s}));
    EXPECT_EQ(report.findChild<QComboBox*>(u"Combo1"_s)->count(), 14);
    EXPECT_EQ(report.findChild<QComboBox*>(u"Combo2"_s)->count(), 4);
  });
  for (const QString& line : log.lines()) {
    EXPECT_FALSE(line.contains(u"archivo"_s)) << line.toStdString();
  }

  ProgramOptions all;
  all.tags.source = TagSource::Id3v2ThenId3v1;
  all.tags.files = AudioFiles::All;
  all.tags.properties = true;
  SaveProgramOptions(all);
  scanWindow([](frm_report& report) {
    ASSERT_EQ(report.model().NumCancionesMP3, 4);
    const QStringList notices = report.notices().notices();
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].startsWith(u"Duración total: 0:02; tamaño total: 0,"_s))
        << notices[0].toStdString();
    const auto* filePicker = report.findChild<QComboBox*>(u"Combo1"_s);
    ASSERT_EQ(filePicker->count(), 18);
    EXPECT_EQ(filePicker->itemText(14).left(6), u"{3Dur}"_s);
    EXPECT_EQ(report.findChild<QComboBox*>(u"Combo2"_s)->itemText(5).left(6), u"{DNum}"_s);
  });
}
