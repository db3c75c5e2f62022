#include "cli/cli_program_fixture.h"
#include "session/program_options.h"
#include "support/audio_fixtures.h"

using namespace Qt::StringLiterals;

namespace {

// The fixture's MP3 tree with a FLAC file, an Opus file and an MP3 file whose only tag is ID3v2.
class CliAudioOptionsTest : public CliProgramTest {
 protected:
  void SetUp() override {
    CliProgramTest::SetUp();
    SaveProgramOptions({});
    makeAudioFiles({{tree + u"/Sub/d.flac"_s, 66150, 44100, 2, {{u"title"_s, u"Flac"_s}}},
                    {tree + u"/e.opus"_s, 96000, 48000, 1, {{u"title"_s, u"Opus"_s}}}});
    writeFile(tree + u"/v2.mp3"_s, QByteArray("ID3\x04\0\0\0\0\0\0", 10) + QByteArray(500, 'a'));
  }
  void TearDown() override { SaveProgramOptions({}); }

  ProgramRun scan(QStringList options) {
    options.prepend(tree);
    options.prepend(u"scan"_s);
    options.append({u"--encoding"_s, u"utf8"_s, u"--dir-design"_s, u"{#D} {DNum} {DDur}"_s,
                    u"--file-design"_s, u"{TF}|{3Tit}|{3Dur}|{3Khz}"_s});
    return run(options);
  }
};

}  // namespace

TEST_F(CliAudioOptionsTest, AllAudioWithPropertiesListsAndTimesEveryFormat) {
  const ProgramRun result = scan({u"--audio"_s, u"all"_s, u"--properties"_s, u"on"_s});
  ASSERT_EQ(result.exitCode, 0) << result.err.constData();
  EXPECT_EQ(QString::fromUtf8(result.out),
            u"1 4 0:02\r\nA|||\r\nb|Bee & <i>||\r\ne|Opus|0:02|48\r\nv2|||\r\n\r\n"
            u"2 2 0:02\r\nc|Ce||\r\nd|Flac|0:02|44,1\r\n\r\n"_s)
      << result.out.constData();
  // The test's MP3 files hold no audio frames: they have no technical fields.
  EXPECT_TRUE(result.err.contains("ID3v2")) << result.err.constData();
  EXPECT_FALSE(result.err.contains("otros formatos")) << result.err.constData();
}

TEST_F(CliAudioOptionsTest, TheDefaultScanIsTodaysAndSaysWhatItLeftOutOnStandardError) {
  const ProgramRun result = scan({});
  ASSERT_EQ(result.exitCode, 0) << result.err.constData();
  EXPECT_EQ(QString::fromUtf8(result.out),
            u"1 3 \r\nA|||\r\nb|Bee & <i>||\r\nv2|||\r\n\r\n2 1 \r\nc|Ce||\r\n\r\n"_s);
  EXPECT_EQ(result.err,
            u"quillet: aviso: 1 archivo tiene etiquetas ID3v2 que no se leen: use --tags v2v1\n"
            u"quillet: aviso: 2 archivos de audio de otros formatos no se listan: use --audio "
            u"all\n"_s.toUtf8());
  EXPECT_FALSE(readFile(programFile("cli.log")).contains("ID3v2"));
  // The saved choices are the defaults, and the command line never saves its own.
  ProgramOptions saved;
  saved.tags.files = AudioFiles::All;
  saved.tags.source = TagSource::Id3v2ThenId3v1;
  SaveProgramOptions(saved);
  const ProgramRun all = scan({u"--properties"_s, u"off"_s});
  EXPECT_TRUE(all.out.contains("d|Flac||\r\n")) << all.out.constData();
  EXPECT_EQ(all.err, QByteArray());
  EXPECT_EQ(LoadProgramOptions(), saved);
}

TEST_F(CliAudioOptionsTest, WrongValuesAreUsageErrors) {
  for (const QStringList& wrong :
       QList<QStringList>{{u"--audio"_s, u"flac"_s}, {u"--properties"_s, u"yes"_s}}) {
    const ProgramRun result = scan(wrong);
    EXPECT_EQ(result.exitCode, 2) << wrong.join(u' ').toStdString();
    EXPECT_TRUE(result.err.contains(wrong[1].toUtf8())) << result.err.constData();
  }
  EXPECT_TRUE(run({u"scan"_s, u"--help"_s}).out.contains("--audio mp3|all"));
}
