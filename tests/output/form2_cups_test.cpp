#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include "support/pdf_tools.h"
#include "support/private_cups.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

const QString kQueue = u"Quillet_PDF"_s;

struct HelperRun {
  int exitCode = -1;
  QString output;
};

}  // namespace

// Prints through the print window onto a queue of a private CUPS server. Where cupsd cannot
// run, the tests are skipped with the reason.
class Form2CupsTest : public testing::Test {
 protected:
  void SetUp() override {
    const QString failure = cups.start();
    if (!failure.isEmpty()) {
      GTEST_SKIP() << "no private CUPS server: " << failure.toStdString();
    }
    pdf = cups.outputDir() + u"/listado.pdf"_s;
    const QString queueFailure = cups.addPdfQueue(kQueue, pdf);
    if (!queueFailure.isEmpty()) {
      GTEST_SKIP() << "no PDF queue: " << queueFailure.toStdString();
    }
  }

  // The helper gets its own settings store and talks to the private server only.
  HelperRun printThroughForm2(const QStringList& entries) {
    const QString home = TestEnvironment::newTempDir();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"CUPS_SERVER"_s, cups.server());
    environment.insert(u"XDG_CONFIG_HOME"_s, home);
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    QProcess helper;
    helper.setProcessEnvironment(environment);
    helper.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    helper.start(QStringLiteral(FORM2_CUPS_HELPER),
                 QStringList{kQueue, home + u"/quillet.log"_s} + entries);
    HelperRun run;
    if (helper.waitForFinished(30000) && helper.exitStatus() == QProcess::NormalExit) {
      run.exitCode = helper.exitCode();
    }
    run.output = QString::fromUtf8(helper.readAllStandardOutput());
    return run;
  }

  PrivateCups cups;
  QString pdf;
};

TEST_F(Form2CupsTest, PrintsAListingThroughARealQueue) {
  const HelperRun run = printThroughForm2({u"D-1 /música/Álbum"_s, u"F-1 Canción\tuno"_s, u"  "_s,
                                           u"D-2 /otro"_s, u"F-2 Título\r\nArtista"_s});
  ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
  EXPECT_EQ(run.output, u"log: Imprimiendo listado...\n"_s);
  ASSERT_TRUE(cups.waitUntilIdle(kQueue, 10000)) << cups.errorLog().toStdString();

  const QStringList lines = nonBlankLines(pdfLayoutText(pdf));
  ASSERT_EQ(lines.size(), 5) << cups.errorLog().toStdString();
  EXPECT_EQ(lines[0], u"D-1 /música/Álbum"_s);
  EXPECT_TRUE(lines[1].contains(QRegularExpression(u"^F-1 Canción +uno$"_s)))
      << lines[1].toStdString();
  EXPECT_EQ(lines.mid(2), (QStringList{u"D-2 /otro"_s, u"F-2 Título"_s, u"Artista"_s}));
}

TEST_F(Form2CupsTest, AQueueThatRefusesJobsIsReported) {
  ASSERT_EQ(cups.runClient(u"cupsreject"_s, {kQueue}), QString());
  const HelperRun run = printThroughForm2({u"D-1 /música"_s});
  ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
  EXPECT_TRUE(
      run.output.contains(u"message: No se pudo imprimir el listado en «Quillet_PDF»: "
                          "el sistema de impresión rechazó el trabajo"_s))
      << run.output.toStdString();
  EXPECT_TRUE(run.output.contains(u"log: Error al imprimir en Quillet_PDF: "_s));
  EXPECT_FALSE(run.output.contains(u"Imprimiendo listado..."_s));
  EXPECT_FALSE(QFile::exists(pdf));
}
