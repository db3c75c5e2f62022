#include <QProcessEnvironment>

#include "cli/cli_program_fixture.h"

using namespace Qt::StringLiterals;

namespace {

const QByteArray kAccentedCp1252 = "Canci\xf3n";
const QByteArray kAccentedUtf8 = "Canci\xc3\xb3n";

// The listing verbs with standard output on a real pseudo-terminal, on a pipe and into a file,
// under a UTF-8 locale and under the plain C locale.
class CliTerminalTest : public CliProgramTest {
 protected:
  void SetUp() override {
    CliProgramTest::SetUp();
    writeMp3(tree + u"/Sub/Canción.mp3"_s);
  }

  static QProcessEnvironment withLocale(const QString& locale) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(u"LANG"_s);
    environment.remove(u"LC_CTYPE"_s);
    environment.insert(u"LC_ALL"_s, locale);
    return environment;
  }

  ProgramRun runIn(const QString& locale, const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setWorkingDirectory(work);
    process.setProcessEnvironment(withLocale(locale));
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
  }

  ProgramRun onTerminal(const QString& locale, const QStringList& arguments) {
    return runIn(
        locale, u"python3"_s,
        QStringList{QStringLiteral(QUILLET_SOURCE_DIR "/tests/cli/on_terminal.py"), program()} +
            arguments);
  }

  ProgramRun onPipe(const QString& locale, const QStringList& arguments) {
    return runIn(locale, program(), arguments);
  }
};

}  // namespace

TEST_F(CliTerminalTest, Utf8TerminalGetsUtf8WhilePipesFilesAndOtherLocalesKeepTheExportBytes) {
  const QStringList scan{u"scan"_s, tree};
  const ProgramRun exportBytes = onPipe(u"C.UTF-8"_s, scan);
  ASSERT_EQ(exportBytes.exitCode, 0) << exportBytes.err.constData();
  ASSERT_TRUE(exportBytes.out.contains(kAccentedCp1252));
  ASSERT_TRUE(exportBytes.out.contains("\r\n"));
  const ProgramRun utf8 = onPipe(u"C.UTF-8"_s, scan + QStringList{u"--encoding"_s, u"utf8"_s});

  const ProgramRun terminal = onTerminal(u"C.UTF-8"_s, scan);
  EXPECT_EQ(terminal.exitCode, 0) << terminal.err.constData();
  EXPECT_TRUE(terminal.out.contains(kAccentedUtf8));
  EXPECT_EQ(terminal.out, utf8.out);

  // A terminal of another codeset, or a listing whose encoding was asked for, keeps the bytes.
  EXPECT_EQ(onTerminal(u"C"_s, scan).out, exportBytes.out);
  EXPECT_EQ(onTerminal(u"C.UTF-8"_s, scan + QStringList{u"--encoding"_s, u"cp1252"_s}).out,
            exportBytes.out);

  // --output FILE writes the export's bytes even when standard output is a terminal; "-" is the
  // terminal itself.
  const QString file = work + u"/lista.txt"_s;
  const ProgramRun toFile = onTerminal(u"C.UTF-8"_s, scan + QStringList{u"--output"_s, file});
  EXPECT_EQ(toFile.exitCode, 0);
  EXPECT_EQ(toFile.out, QByteArray());
  EXPECT_EQ(readFile(file), exportBytes.out);
  EXPECT_EQ(onTerminal(u"C.UTF-8"_s, scan + QStringList{u"--output"_s, u"-"_s}).out, utf8.out);
}

TEST_F(CliTerminalTest, HtmlOnAUtf8TerminalNamesUtf8AndShowFollowsTheSameRule) {
  const QStringList html{u"scan"_s, tree, u"--format"_s, u"html"_s};
  const ProgramRun terminal = onTerminal(u"C.UTF-8"_s, html);
  EXPECT_EQ(terminal.out, onPipe(u"C.UTF-8"_s, html + QStringList{u"--encoding"_s, u"utf8"_s}).out);
  EXPECT_TRUE(terminal.out.contains("charset=utf-8"));
  EXPECT_FALSE(onPipe(u"C.UTF-8"_s, html).out.contains("charset=utf-8"));

  ASSERT_EQ(onPipe(u"C.UTF-8"_s, {u"scan"_s, tree, u"--store"_s}).exitCode, 0);
  const QStringList show{u"show"_s, u"1"_s};
  const ProgramRun shown = onTerminal(u"C.UTF-8"_s, show);
  EXPECT_EQ(shown.exitCode, 0) << shown.err.constData();
  EXPECT_TRUE(shown.out.contains(kAccentedUtf8));
  EXPECT_TRUE(onPipe(u"C.UTF-8"_s, show).out.contains(kAccentedCp1252));
}
