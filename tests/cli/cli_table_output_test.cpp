#include "cli_program_fixture.h"

using namespace Qt::StringLiterals;

namespace {

class CliTableOutputTest : public CliProgramTest {
 protected:
  void SetUp() override {
    CliProgramTest::SetUp();
    writeMp3(tree + u"/Sub/it's, \"x\".mp3"_s,
             id3v1Block({.title = "Uno; dos", .artist = "Ni\xF1o's", .year = "2001"}));
  }
};

}  // namespace

// The scanned listing and the same listing loaded back give the same bytes: names as on disk,
// tag texts as the listing holds them.
TEST_F(CliTableOutputTest, ScannedAndStoredListingsExportTheSameCsvAndJson) {
  for (const QString& format : {u"json"_s, u"csv"_s}) {
    const ProgramRun scanned = run({u"scan"_s, tree, u"--store"_s, u"--format"_s, format});
    ASSERT_EQ(scanned.exitCode, 0) << scanned.err.toStdString();
    const QByteArray number = scanned.err.split(' ').last().trimmed();
    const ProgramRun shown = run({u"show"_s, QString::fromLatin1(number), u"--format"_s, format});
    EXPECT_EQ(shown.exitCode, 0) << shown.err.toStdString() << number.toStdString();
    EXPECT_EQ(shown.out, scanned.out) << format.toStdString();
    EXPECT_TRUE(scanned.out.contains("it's, ")) << scanned.out.toStdString();
  }
  const ProgramRun csv = run({u"scan"_s, tree, u"--format"_s, u"csv"_s});
  EXPECT_TRUE(csv.out.startsWith("\xEF\xBB\xBFlistado,medio,"));
  EXPECT_TRUE(csv.out.contains(",\"it's, \"\"x\"\".mp3\",Ni\xC3\xB1o\xC2\xB4s,Uno; dos,,2001,"))
      << csv.out.toStdString();
}

TEST_F(CliTableOutputTest, EncodingWithCsvOrJsonAndUnknownChoicesAreUsageErrors) {
  for (const QStringList& arguments :
       {QStringList{u"--format"_s, u"csv"_s, u"--encoding"_s, u"utf8"_s},
        QStringList{u"--format"_s, u"json"_s, u"--encoding"_s, u"cp1252"_s},
        QStringList{u"--format"_s, u"csv"_s, u"--csv-separator"_s, u"tab"_s},
        QStringList{u"--format"_s, u"xls"_s}}) {
    const ProgramRun result = run(QStringList{u"scan"_s, tree} + arguments);
    EXPECT_EQ(result.exitCode, 2) << arguments.join(u' ').toStdString();
    EXPECT_EQ(result.out, QByteArray());
    EXPECT_EQ(result.err.count('\n'), 2) << result.err.toStdString();
  }
  EXPECT_TRUE(
      run({u"scan"_s, tree, u"--format"_s, u"xls"_s})
          .err.startsWith("quillet: formato desconocido: xls (se admite txt, html, csv o json)"));
}
