#include <QProcess>

#include "cli_program_fixture.h"

using namespace Qt::StringLiterals;

namespace {

class CliSearchTest : public CliProgramTest {
 protected:
  // A catalogue written by the sqlite3 tool into the database the program makes on first use.
  void SetUp() override {
    CliProgramTest::SetUp();
    ASSERT_EQ(run({u"list"_s}).exitCode, 0);
    runSql(
        u"INSERT INTO reports VALUES (1, 'Disco', 1, 'Disco'), (2, 'Carpeta', 2, 'Carpeta');"
        u"INSERT INTO estructdir VALUES (1, '/cd/Pop', 1, 2), (2, '/home/mú', 1, 1);"
        u"INSERT INTO infoMP3 VALUES (1, 'Álbum', 'Artista', '', 'Pop', 'Canción', '1', "
        u"'2000', 'a.mp3', 1, 1), (1, 'B', 'Otro', '', '', 'Tí' || char(9) || 'tulo', '2', '', "
        u"'b.mp3', 2, 2), (2, 'C', 'ARTISTA', '', '', 'cancion', '1', '1999', 'c.mp3', 1, 1)"_s);
  }

  // Writes into the database with the sqlite3 tool, as any other program could.
  void runSql(const QString& sql) {
    QProcess sqlite;
    sqlite.start(u"sqlite3"_s, {programFile("quillet.mdb"), sql});
    ASSERT_TRUE(sqlite.waitForFinished(30000));
    ASSERT_EQ(sqlite.exitCode(), 0) << sqlite.readAllStandardError().toStdString();
  }
};

}  // namespace

TEST_F(CliSearchTest, SearchWritesOneTabSeparatedLinePerFile) {
  const ProgramRun found = run({u"search"_s, u"CANCION"_s});
  EXPECT_EQ(found.exitCode, 0) << found.err.toStdString();
  EXPECT_EQ(QString::fromUtf8(found.out),
            u"1\tCD\tDisco\t/cd/Pop\ta.mp3\tArtista\tCanción\tÁlbum\t2000\n"
            u"2\tDIR\tCarpeta\t/home/mú\tc.mp3\tARTISTA\tcancion\tC\t1999\n"_s);
  EXPECT_EQ(run({u"search"_s, u"canción"_s, u"--medium"_s, u"dir"_s, u"--in"_s, u"titulo"_s})
                .out.count('\n'),
            1);
  EXPECT_EQ(run({u"search"_s, u"mp3"_s, u"--limit"_s, u"2"_s}).out.count('\n'), 2);
  EXPECT_EQ(QString::fromUtf8(run({u"search"_s, u"otro"_s}).out),
            u"1\tCD\tDisco\t/cd/Pop\tb.mp3\tOtro\tTí?tulo\tB\t\n"_s);
  const ProgramRun none = run({u"search"_s, u"\"NEAR(x*"_s});
  EXPECT_EQ(none.exitCode, 0);
  EXPECT_EQ(none.out, QByteArray());
  EXPECT_EQ(none.err, QByteArray());
}

// File names are stored with "´" for "'"; the line names the file as it is on disk.
TEST_F(CliSearchTest, AFileNameComesBackWithItsApostrophe) {
  runSql(
      u"INSERT INTO reports VALUES (3, 'Otro disco', 1, 'Otro disco');"
      u"INSERT INTO estructdir VALUES (3, '/cd/Rock', 1, 1);"
      u"INSERT INTO infoMP3 VALUES (3, '', 'Grupo´s', '', '', '', '1', '', 'it´s.mp3', 1, 1)"_s);
  EXPECT_EQ(QString::fromUtf8(run({u"search"_s, u"it's"_s}).out),
            u"3\tCD\tOtro disco\t/cd/Rock\tit's.mp3\tGrupo´s\t\t\t\n"_s);
}

// Directory names are stored with "´" for "'" too.
TEST_F(CliSearchTest, ADirectoryNameComesBackWithItsApostrophe) {
  runSql(
      u"INSERT INTO reports VALUES (3, 'Otro disco', 1, 'Otro disco');"
      u"INSERT INTO estructdir VALUES (3, '/cd/Guns N´ Roses', 1, 1);"
      u"INSERT INTO infoMP3 VALUES (3, '', 'Grupo', '', '', '', '1', '', 'easy.mp3', 1, 1)"_s);
  EXPECT_EQ(QString::fromUtf8(run({u"search"_s, u"easy"_s}).out),
            u"3\tCD\tOtro disco\t/cd/Guns N' Roses\teasy.mp3\tGrupo\t\t\t\n"_s);
}

TEST_F(CliSearchTest, DuplicatesWritesEachGroupThenABlankLine) {
  const ProgramRun all = run({u"duplicates"_s});
  EXPECT_EQ(all.exitCode, 0) << all.err.toStdString();
  EXPECT_EQ(QString::fromUtf8(all.out),
            u"1\tCD\tDisco\t/cd/Pop\ta.mp3\tArtista\tCanción\tÁlbum\t2000\n"
            u"2\tDIR\tCarpeta\t/home/mú\tc.mp3\tARTISTA\tcancion\tC\t1999\n"_s);
  EXPECT_EQ(run({u"duplicates"_s, u"--medium"_s, u"cd"_s}).out, QByteArray());
}

TEST_F(CliSearchTest, UsageErrorsExplainThemselves) {
  for (const QStringList& arguments :
       {QStringList{u"search"_s}, QStringList{u"search"_s, u"x"_s, u"--in"_s, u"nada"_s},
        QStringList{u"search"_s, u"x"_s, u"--limit"_s, u"0"_s},
        QStringList{u"search"_s, u"x"_s, u"--medium"_s, u"dvd"_s},
        QStringList{u"duplicates"_s, u"x"_s}}) {
    const ProgramRun bad = run(arguments);
    EXPECT_EQ(bad.exitCode, 2) << arguments.join(u' ').toStdString();
    EXPECT_TRUE(bad.err.startsWith("quillet: ")) << bad.err.toStdString();
  }
  EXPECT_TRUE(run({u"search"_s, u"--help"_s}).out.contains("--in CAMPO"));
  EXPECT_TRUE(run({u"duplicates"_s, u"--help"_s}).out.contains("--medium cd|dir"));
}

// Both read back by Python: the CSV by its csv module, the JSON by its json module.
TEST_F(CliSearchTest, SearchAndDuplicatesWriteCsvAndJsonWithNamedFields) {
  ASSERT_EQ(
      run({u"props"_s, u"2"_s, u"--ubicacion"_s, u"Caja 3"_s, u"--categoria"_s, u"Pop"_s}).exitCode,
      0);
  const ProgramRun csv = run(
      {u"search"_s, u"cancion"_s, u"--format"_s, u"csv"_s, u"--csv-separator"_s, u"semicolon"_s});
  EXPECT_EQ(csv.exitCode, 0) << csv.err.toStdString();
  EXPECT_EQ(csv.out.left(3), "\xEF\xBB\xBF");
  EXPECT_EQ(QString::fromUtf8(csv.out.mid(3)),
            u"num_listado;listado;medio;directorio;num_archivo;archivo;artista;titulo;"
            u"album;anyo;pista;genero;comentario;duracion_ms;ubicacion;categoria\r\n"
            u"1;Disco;CD;/cd/Pop;1;a.mp3;Artista;Canción;Álbum;2000;1;Pop;;;;\r\n"
            u"2;Carpeta;DIR;/home/mú;1;c.mp3;ARTISTA;cancion;C;1999;1;;;;Caja 3;Pop\r\n"_s);

  QProcess python;
  python.start(u"python3"_s,
               {u"-c"_s,
                u"import json,sys; rows=json.load(sys.stdin); "
                u"print(';'.join('%s,%s,%s,%s' % (r['grupo'], r['num_listado'], r['titulo'], "
                u"r['ubicacion']) for r in rows))"_s});
  python.write(run({u"duplicates"_s, u"--format"_s, u"json"_s}).out);
  python.closeWriteChannel();
  ASSERT_TRUE(python.waitForFinished(30000));
  EXPECT_EQ(QString::fromUtf8(python.readAllStandardOutput()),
            u"1,1,Canción,;1,2,cancion,Caja 3\n"_s);

  const ProgramRun wrong = run({u"duplicates"_s, u"--format"_s, u"xml"_s});
  EXPECT_EQ(wrong.exitCode, 2);
  EXPECT_TRUE(wrong.err.startsWith("quillet: formato desconocido: xml")) << wrong.err.data();
}
