#include "cli/cli_program_fixture.h"
#include "listing/saved_designs.h"
#include "session/program_options.h"

using namespace Qt::StringLiterals;

// The scan verb on its own: it never opens the database.
using CliScanTest = CliProgramTest;

TEST_F(CliScanTest, WritesTheTextExportOfTheSavedDesignsToStandardOutput) {
  const ProgramRun result = run({u"scan"_s, u"Tree"_s});  // relative to the working directory
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err, QByteArray());
  const QByteArray root = QFile::encodeName(tree);
  EXPECT_EQ(result.out, "1 " + root + "\r\n1 A\r\n2 b\r\n\r\n2 " + root + "/Sub\r\n3 c\r\n\r\n");
  EXPECT_EQ(maskElapsedSeconds(log()),
            "Iniciando proceso...\r\n"
            "Directorio inicial seleccionado: " +
                root +
                "\r\n"
                "Buscando en " +
                root +
                "\r\n"
                "Directorio " +
                root +
                " contiene MP3 (directorio # 1)\r\n"
                "Buscando en " +
                root +
                "/Sub\r\n"
                "Directorio " +
                root +
                "/Sub contiene MP3 (directorio # 2)\r\n"
                "Finalizado con exito\r\n"
                "N segundos...\r\n"
                "Numero de Directorios: 2\r\n"
                "Numero de MP3: 3\r\n");
  EXPECT_FALSE(QFile::exists(programFile("quillet.mdb")));
}

TEST_F(CliScanTest, DesignOptionsOverrideTheSavedOnesWithoutSavingThem) {
  SaveDesigns({u"[{#D}]"_s, u"<{3Tit}>"_s});
  EXPECT_EQ(run({u"scan"_s, tree}).out, "[1]\r\n<>\r\n<Bee & <i>>\r\n\r\n[2]\r\n<Ce>\r\n\r\n");
  const ProgramRun result =
      run({u"scan"_s, u"--dir-design"_s, QString(), tree, u"--file-design={3Yea}{TF}"_s});
  EXPECT_EQ(result.out, "A\r\n1999b\r\n\r\nc\r\n\r\n");
  EXPECT_EQ(LoadSavedDesigns().directory, u"[{#D}]"_s);
  EXPECT_EQ(LoadSavedDesigns().file, u"<{3Tit}>"_s);
}

TEST_F(CliScanTest, WritesTheHtmlPageToTheOutputFile) {
  const QString output = work + u"/page.html"_s;
  const ProgramRun result =
      run({u"scan"_s, tree, u"--format"_s, u"html"_s, u"--output"_s, output, u"--dir-design"_s,
           u"<b>{#D}</b>"_s, u"--file-design"_s, u"{#F}{Tb}{3Tit}"_s});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, QByteArray());
  const QByteArray page = readFile(output);
  EXPECT_TRUE(page.startsWith("<!DOCTYPE HTML PUBLIC"));
  EXPECT_TRUE(
      page.contains("<tr><td>&nbsp;<b>1</b></td></tr>\r\n"
                    "<tr><td>&nbsp;1&nbsp;</td><td>&nbsp;</td></tr>\r\n"
                    "<tr><td>&nbsp;2&nbsp;</td><td>&nbsp;Bee &amp; &lt;i&gt;</td></tr>\r\n"
                    "<tr><td>&nbsp;</td></tr>\r\n"));
  EXPECT_TRUE(page.endsWith("</table>\r\n</BODY></HTML>\r\n"));
}

TEST_F(CliScanTest, MissingDirectoryFailsWithOneLineAndWritesNothing) {
  const QString output = work + u"/out.txt"_s;
  const ProgramRun result = run({u"scan"_s, u"nowhere"_s, u"--output"_s, output});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, QByteArray());
  EXPECT_EQ(result.err, "quillet: no se puede leer el directorio " + QFile::encodeName(work) +
                            "/nowhere: no existe\n");
  EXPECT_FALSE(QFile::exists(output));
  EXPECT_EQ(log(), QByteArray());
}

TEST_F(CliScanTest, UnwritableOutputFailsAndLeavesNoFile) {
  const ProgramRun result = run({u"scan"_s, tree, u"--output"_s, work + u"/no/dir/out.txt"_s});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "quillet: no se puede escribir " + QFile::encodeName(work) +
                            "/no/dir/out.txt: no existe\n");
  EXPECT_FALSE(QFile::exists(work + u"/no"_s));
}

TEST_F(CliScanTest, UsageErrorsExitWithTwo) {
  const QList<QStringList> wrong{{u"scan"_s},
                                 {u"scan"_s, tree, u"--format"_s, u"pdf"_s},
                                 {u"scan"_s, tree, u"--colour"_s},
                                 {u"scan"_s, tree, u"other"_s},
                                 {u"scan"_s, tree, u"--output"_s},
                                 {u"scan"_s, tree, u"--store=yes"_s},
                                 {u"escanea"_s, tree}};
  for (const QStringList& arguments : wrong) {
    const ProgramRun result = run(arguments);
    EXPECT_EQ(result.exitCode, 2) << arguments.join(u' ').toStdString();
    EXPECT_EQ(result.out, QByteArray());
    EXPECT_TRUE(result.err.startsWith("quillet: ")) << result.err.constData();
  }
  EXPECT_EQ(run({u"escanea"_s}).err,
            "quillet: orden desconocida: escanea («quillet --help» muestra las órdenes)\n");
  EXPECT_EQ(log(), QByteArray());
}

TEST_F(CliScanTest, HelpIsInSpanish) {
  ProgramRun result = run({u"--help"_s});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_TRUE(result.out.startsWith("Uso: quillet"));
  for (const char* verb : {"scan", "list", "show", "delete"}) {
    EXPECT_TRUE(result.out.contains(QByteArray("\n  ") + verb + ' ')) << verb;
  }
  result = run({u"scan"_s, u"--help"_s});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_TRUE(result.out.contains("--dir-design TEXTO"));
  EXPECT_TRUE(result.out.contains("diseño"));
  EXPECT_TRUE(result.out.contains("--store"));
  EXPECT_TRUE(run({u"show"_s, u"--help"_s}).out.startsWith("Uso: quillet show N [--dir-design"));
  EXPECT_TRUE(run({u"list"_s, u"-h"_s}).out.startsWith("Uso: quillet list\n"));
  EXPECT_TRUE(run({u"delete"_s, u"--help"_s}).out.startsWith("Uso: quillet delete N\n"));
}

TEST_F(CliScanTest, OverTheLimitStillSucceedsWithAWarning) {
  for (int d = 0; d <= 500; ++d) {
    writeMp3(tree + u"/Many/%1/x.mp3"_s.arg(d, 3, 10, QLatin1Char('0')));
  }
  const ProgramRun result =
      run({u"scan"_s, tree, u"--dir-design"_s, QString(), u"--file-design"_s, QString()});
  EXPECT_EQ(result.exitCode, 0);
  // Many/499, Many/500 and Sub are left out.
  EXPECT_EQ(result.err,
            "quillet: aviso: Se ha alcanzado el límite del listado (500 directorios con MP3): "
            "quedan fuera: 3 directorios con MP3 y 3 archivos MP3. Para listarlos todos, use "
            "--limits none\n");
  // The start directory's 2 files and one file in each of Many/000 to Many/498: 501 empty
  // file records and 500 separators.
  EXPECT_EQ(result.out, QByteArray("\r\n").repeated(501 + 500));
  EXPECT_TRUE(log().contains("Numero de Directorios: 500\r\n"));

  const ProgramRun whole = run({u"scan"_s, tree, u"--limits"_s, u"none"_s, u"--dir-design"_s,
                                QString(), u"--file-design"_s, QString()});
  EXPECT_EQ(whole.exitCode, 0);
  EXPECT_EQ(whole.err, QByteArray());
  EXPECT_EQ(whole.out, QByteArray("\r\n").repeated(504 + 503));
}

TEST_F(CliScanTest, LimitsDefaultToTheSavedChoiceAndAnUnknownOneIsAUsageError) {
  for (int d = 0; d <= 500; ++d) {
    writeMp3(tree + u"/Many/%1/x.mp3"_s.arg(d, 3, 10, QLatin1Char('0')));
  }
  ProgramOptions options;
  options.limits = ListingLimits::None;
  SaveProgramOptions(options);
  const QStringList emptyDesigns{u"--dir-design"_s, QString(), u"--file-design"_s, QString()};
  EXPECT_EQ(run(QStringList{u"scan"_s, tree} + emptyDesigns).out,
            QByteArray("\r\n").repeated(504 + 503));
  const ProgramRun classic =
      run(QStringList{u"scan"_s, tree, u"--limits=classic"_s} + emptyDesigns);
  EXPECT_EQ(classic.out, QByteArray("\r\n").repeated(501 + 500));
  EXPECT_EQ(LoadProgramOptions().limits, ListingLimits::None);  // never saved

  const ProgramRun wrong = run({u"scan"_s, tree, u"--limits"_s, u"todo"_s});
  EXPECT_EQ(wrong.exitCode, 2);
  EXPECT_TRUE(
      wrong.err.startsWith("quillet: límites desconocidos: todo (se admiten classic o none)"));
  SaveProgramOptions({});
}
