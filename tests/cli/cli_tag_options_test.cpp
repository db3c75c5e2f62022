#include "cli/cli_program_fixture.h"
#include "session/program_options.h"

using namespace Qt::StringLiterals;

namespace {

// A tree of one file with an ID3v1 title in Windows-1251 and, after mid3v2, an ID3v2 title.
class CliTagOptionsTest : public CliProgramTest {
 protected:
  void SetUp() override {
    CliProgramTest::SetUp();
    SaveProgramOptions({});
    songs = work + u"/Songs"_s;
    const QString path = songs + u"/s.mp3"_s;
    const QByteArray v1 = id3v1Block({.title = "\xcf\xf0\xe8\xe2\xe5\xf2"});
    writeMp3(path, v1);
    QProcess writer;
    writer.start(u"mid3v2"_s, {u"-t"_s, u"Título v2"_s, path});
    ASSERT_TRUE(writer.waitForFinished(30000));
    writeFile(path, readFile(path).chopped(128) + v1);
  }
  void TearDown() override { SaveProgramOptions({}); }

  QByteArray titles(QStringList options) {
    options.prepend(songs);
    options.prepend(u"scan"_s);
    options.append({u"--dir-design"_s, QString(), u"--file-design"_s, u"{3Tit}"_s});
    const ProgramRun result = run(options);
    EXPECT_EQ(result.exitCode, 0) << result.err.constData();
    return result.out;
  }

  QString songs;
};

}  // namespace

TEST_F(CliTagOptionsTest, OptionsChooseTagsCodePageAndEncoding) {
  EXPECT_EQ(titles({}), "\xcf\xf0\xe8\xe2\xe5\xf2\r\n\r\n");  // today's bytes
  EXPECT_EQ(titles({u"--codepage"_s, u"Windows-1251"_s, u"--encoding"_s, u"utf8"_s}),
            u"Привет\r\n\r\n"_s.toUtf8());
  EXPECT_EQ(titles({u"--tags"_s, u"v2v1"_s, u"--encoding=utf8"_s}),
            u"Título v2\r\n\r\n"_s.toUtf8());
  EXPECT_EQ(titles({u"--tags"_s, u"v1v2"_s}), "\xcf\xf0\xe8\xe2\xe5\xf2\r\n\r\n");
  EXPECT_EQ(titles({u"--tags"_s, u"v2"_s, u"--encoding"_s, u"cp1252"_s}), "T\xedtulo v2\r\n\r\n");
}

TEST_F(CliTagOptionsTest, SavedChoicesAreTheDefaultsAndAreNeverChanged) {
  ProgramOptions saved;
  saved.tags = {TagSource::Id3v2ThenId3v1, CodePage::Windows1251};
  saved.exportEncoding = ExportEncoding::Utf8;
  SaveProgramOptions(saved);
  EXPECT_EQ(titles({}), u"Título v2\r\n\r\n"_s.toUtf8());
  EXPECT_EQ(titles({u"--tags"_s, u"v1"_s}), u"Привет\r\n\r\n"_s.toUtf8());
  EXPECT_EQ(LoadProgramOptions(), saved);
}

TEST_F(CliTagOptionsTest, WrongValuesAreUsageErrorsAndHelpNamesTheOptions) {
  for (const QStringList& wrong : QList<QStringList>{{u"--tags"_s, u"v3"_s},
                                                     {u"--codepage"_s, u"koi8-r"_s},
                                                     {u"--encoding"_s, u"UTF-16"_s}}) {
    const ProgramRun result = run(QStringList{u"scan"_s, songs} + wrong);
    EXPECT_EQ(result.exitCode, 2) << wrong.join(u' ').toStdString();
    EXPECT_EQ(result.out, QByteArray());
  }
  const QByteArray scanHelp = run({u"scan"_s, u"--help"_s}).out;
  for (const char* option : {"--tags v1|v2|v1v2|v2v1", "--codepage NOMBRE", "--encoding"}) {
    EXPECT_TRUE(scanHelp.contains(option)) << option;
  }
  EXPECT_TRUE(run({u"show"_s, u"--help"_s}).out.contains("--encoding cp1252|utf8"));
}
