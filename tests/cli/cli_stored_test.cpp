#include <QDir>

#include "cli/cli_program_fixture.h"
#include "platform/ansi_codec.h"
#include "support/listing_db_fixture.h"

using namespace Qt::StringLiterals;

namespace {

// The verbs on stored listings, and scan --store, against the program's own database file.
class CliStoredTest : public CliProgramTest {
 protected:
  QString database() const { return programFile("quillet.mdb"); }

  QByteArray root() const { return QFile::encodeName(tree); }

  static QByteArray logLines(const QStringList& lines) {
    return encodeAnsi(lines.join(u"\r\n"_s) + u"\r\n"_s);
  }
};

}  // namespace

TEST_F(CliStoredTest, ScanStoreWritesTheSameListingAndListShowsItInNumberOrder) {
  const ProgramRun plain = run({u"scan"_s, tree});
  ASSERT_EQ(plain.exitCode, 0);
  EXPECT_FALSE(QFile::exists(database()));
  const QByteArray scanLog = log();
  QFile::remove(programFile("cli.log"));

  const ProgramRun stored = run({u"scan"_s, tree, u"--store"_s});
  EXPECT_EQ(stored.exitCode, 0);
  EXPECT_EQ(stored.out, plain.out);
  EXPECT_EQ(stored.err, "Listado almacenado en la BD con el número 1\n");
  const QString path = database();
  EXPECT_EQ(maskElapsedSeconds(log()),
            logLines({u"Inicializando conexion BD..."_s,
                      u"Nueva base de datos vacia generada correctamente (bd-acces2k.blank)"_s,
                      u"Conectando con "_s + path, u"mediante Provider=QSQLITE;"_s,
                      u"Conexión satisfactoria!"_s}) +
                maskElapsedSeconds(scanLog) +
                logLines({u"Cerrando posible conjunto de registros abierto"_s,
                          u"Cerrando conexion BD"_s, u"Conexion BD cerrada satisfactoriamente"_s}));

  // A CD listing can only come from the desktop program; its name holds a tab.
  queryRows(path, u"insert into reports values (2,'MUSICA\t01',1,'MUSICA\t01')"_s);
  EXPECT_EQ(run({u"scan"_s, u"Tree/Sub"_s, u"--store"_s}).err,
            "Listado almacenado en la BD con el número 3\n");
  const ProgramRun listed = run({u"list"_s});
  EXPECT_EQ(listed.exitCode, 0);
  EXPECT_EQ(listed.out, "1\tDIR\t" + root() + "\n2\tCD\tMUSICA?01\n3\tDIR\t" + root() + "/Sub\n");
  EXPECT_EQ(queryRows(path, u"select count(*) from infoMP3 where rp_id=3"_s), QStringList{u"1"_s});
}

TEST_F(CliStoredTest, ShowGivesTheBytesThatScanGave) {
  const QStringList designs = {
      u"--dir-design"_s, u"<b>{#D}</b>{Tb}{TD}"_s, u"--file-design"_s,
      u"{#F}.{OF} {TF}{Tb}{3Tit}|{3Art}|{3Alb}|{3Yea}|{3Com}|{3Gen}|{3Tra}"_s};
  const ProgramRun text = run(QStringList{u"scan"_s, tree, u"--store"_s} + designs);
  const ProgramRun html =
      run(QStringList{u"scan"_s, tree, u"--store"_s, u"--format=html"_s} + designs);
  // The same folder stored again is a new listing, and the user is told which one it repeats.
  // (Whether the folder's disk could be read, and so how it was recognised, is the machine's.)
  ASSERT_TRUE(html.err.startsWith("quillet: aviso: Ya está catalogado como nº 1 «" + root() + "»"));
  ASSERT_TRUE(html.err.endsWith("\nListado almacenado en la BD con el número 2\n"));

  EXPECT_EQ(run(QStringList{u"show"_s, u"1"_s} + designs).out, text.out);
  const QString output = work + u"/page.html"_s;
  const ProgramRun shown = run(
      QStringList{u"show"_s, u"2"_s, u"--format"_s, u"html"_s, u"--output"_s, output} + designs);
  EXPECT_EQ(shown.exitCode, 0);
  EXPECT_EQ(shown.out + shown.err, QByteArray());
  EXPECT_EQ(readFile(output), html.out);
  EXPECT_TRUE(html.out.contains("Bee &amp; &lt;i&gt;"));
  EXPECT_TRUE(log().contains(encodeAnsi(u"Abierto desde bd, el listado: "_s + tree +
                                        u"\r\ncon 2 directorios y 3 archivos MP3\r\n"_s)));
}

TEST_F(CliStoredTest, AFileNameComesBackWithItsApostrophe) {
  writeMp3(tree + u"/It's.mp3"_s);
  const QStringList designs = {u"--dir-design"_s, QString(), u"--file-design"_s, u"{TF}"_s};
  const ProgramRun scanned = run(QStringList{u"scan"_s, tree, u"--store"_s} + designs);
  // The walk holds the name with the acute accent; the load turns it back.
  EXPECT_TRUE(scanned.out.contains("\r\nIt\xB4s\r\n"));
  const ProgramRun shown = run(QStringList{u"show"_s, u"1"_s} + designs);
  EXPECT_EQ(shown.exitCode, 0);
  EXPECT_TRUE(shown.out.contains("\r\nIt's\r\n"));
}

TEST_F(CliStoredTest, DeleteRemovesTheListingAsTheWindowDoes) {
  run({u"scan"_s, tree, u"--store"_s});
  run({u"scan"_s, tree, u"--store"_s});
  QFile::remove(programFile("cli.log"));

  const ProgramRun deleted = run({u"delete"_s, u"1"_s});
  EXPECT_EQ(deleted.exitCode, 0);
  EXPECT_EQ(deleted.out + deleted.err, QByteArray());
  EXPECT_TRUE(log().contains(
      logLines({u"Borrando informacion del listado número 1"_s,
                u"Borrando informacion de estructura de directorios del listado número 1"_s,
                u"Borrando informacion de ficheros mp3 del listado número 1"_s,
                u"Listado número 1 eliminado permanentemente de la BD"_s})));
  EXPECT_EQ(run({u"list"_s}).out, "2\tDIR\t" + root() + "\n");
  EXPECT_EQ(queryRows(database(), u"select count(*) from estructdir where rp_id=1"_s),
            QStringList{u"0"_s});
  EXPECT_EQ(queryRows(database(), u"select count(*) from infoMP3 where rp_id=1"_s),
            QStringList{u"0"_s});
}

TEST_F(CliStoredTest, AMissingListingFailsAndWritesNothing) {
  run({u"scan"_s, tree, u"--store"_s});
  const QByteArray before = readFile(database());
  const QString output = work + u"/out.txt"_s;
  for (const QStringList& arguments :
       {QStringList{u"show"_s, u"7"_s, u"--output"_s, output}, {u"delete"_s, u"7"_s}}) {
    const ProgramRun result = run(arguments);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, QByteArray());
    EXPECT_EQ(result.err, "quillet: no hay ningún listado con el número 7 en la base de datos\n");
  }
  EXPECT_FALSE(QFile::exists(output));
  EXPECT_EQ(readFile(database()), before);
  EXPECT_FALSE(log().contains("Borrando"));
}

TEST_F(CliStoredTest, ListingNumbersOutsideTheirRangeAreUsageErrors) {
  for (const QString& number : {u"abc"_s, u"1x"_s, u"+1"_s, u" 1"_s, u"0"_s, u"2147483648"_s,
                                u"99999999999"_s, QString()}) {
    for (const QString& verb : {u"show"_s, u"delete"_s}) {
      const ProgramRun result = run({verb, number});
      EXPECT_EQ(result.exitCode, 2) << verb.toStdString() << " '" << number.toStdString() << "'";
      EXPECT_TRUE(result.err.startsWith("quillet: número de listado no válido: "))
          << result.err.constData();
    }
  }
  EXPECT_EQ(run({u"show"_s}).exitCode, 2);
  EXPECT_EQ(run({u"delete"_s, u"1"_s, u"2"_s}).exitCode, 2);
  EXPECT_EQ(run({u"list"_s, u"all"_s}).exitCode, 2);
  EXPECT_FALSE(QFile::exists(database()));
  EXPECT_EQ(log(), QByteArray());
}

TEST_F(CliStoredTest, ACorruptDatabaseFailsEveryVerbAndStaysAsItWas) {
  const QByteArray garbage = QByteArray("not a database, but not empty either\n").repeated(200);
  writeFile(database(), garbage);
  const QString output = work + u"/out.txt"_s;
  for (const QStringList& arguments : {QStringList{u"list"_s},
                                       {u"show"_s, u"1"_s, u"--output"_s, output},
                                       {u"delete"_s, u"1"_s},
                                       {u"scan"_s, tree, u"--store"_s, u"--output"_s, output}}) {
    const ProgramRun result = run(arguments);
    EXPECT_EQ(result.exitCode, 1) << arguments.join(u' ').toStdString();
    EXPECT_EQ(result.out, QByteArray());
    EXPECT_TRUE(result.err.startsWith("quillet: no se puede usar la base de datos: "));
    EXPECT_EQ(result.err.count('\n'), 1) << result.err.constData();
  }
  EXPECT_FALSE(QFile::exists(output));
  EXPECT_EQ(readFile(database()), garbage);
  EXPECT_EQ(QDir(programDir).entryList(QDir::Files).size(), 5);  // nothing new beside it
}

// libpq tells why in several lines, the later ones indented by tabs.
TEST_F(CliStoredTest, AServerThatCannotBeReachedIsSaidInOneLine) {
  const QByteArray nowhere = QFile::encodeName(TestEnvironment::newTempDir());
  writeFile(programFile("config.ini"),
            "[log]\r\nlogfile=cli.log\r\n[bd]\r\ncadcon=Provider=QPSQL;Host=" + nowhere +
                ";Database=x;connect_timeout=2;\r\n");
  const ProgramRun result = run({u"list"_s});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_TRUE(
      result.err.startsWith("quillet: no se puede usar la base de datos: No se puede "
                            "conectar con el servidor de la BD"))
      << result.err.constData();
  EXPECT_EQ(result.err.count('\n'), 1) << result.err.constData();
  EXPECT_FALSE(result.err.contains('\t')) << result.err.constData();
}

TEST_F(CliStoredTest, AListingCutAtTheCapIsListedAsEverAndShowAndStatsWarn) {
  const QString big = TestEnvironment::newTempDir() + u"/Grande"_s;
  for (int f = 0; f <= 1000; ++f) {
    writeFile(big + u"/%1.mp3"_s.arg(f, 4, 10, QChar(u'0')), {});
  }
  ASSERT_EQ(run({u"scan"_s, big, u"--store"_s}).exitCode, 0);
  ASSERT_EQ(run({u"scan"_s, tree, u"--store"_s}).exitCode, 0);
  EXPECT_EQ(run({u"list"_s}).out,
            "1\tDIR\t" + QFile::encodeName(big) + "\n2\tDIR\t" + root() + "\n");
  const QByteArray warning =
      "quillet: aviso: el listado número 1 está incompleto: su escaneo se detuvo antes de "
      "recorrer todo el árbol\n";
  for (const QStringList& verb : {QStringList{u"show"_s, u"1"_s}, {u"stats"_s, u"1"_s}}) {
    const ProgramRun marked = run(verb);
    EXPECT_EQ(marked.exitCode, 0);
    EXPECT_EQ(marked.err, warning) << verb.join(u' ').toStdString();
    EXPECT_EQ(run({verb[0], u"2"_s}).err, QByteArray()) << verb.join(u' ').toStdString();
  }
}
