#include "cli/cli_program_fixture.h"
#include "support/audio_fixtures.h"
#include "support/listing_db_fixture.h"

using namespace Qt::StringLiterals;

namespace {

const QString kListingRows =
    u"select 'r', rp_id, report_name, cast(medio as text), report_desc from reports union all "
    u"select 'd', rp_id, dirname, cast(songfrom as text), cast(songto as text) from estructdir "
    u"union all select 'f', rp_id, filename, cast(fileorder as text), cast(filegenorder as "
    u"text) || title from infoMP3 order by 1, 2, 3, 4"_s;

const QString kTechnicalRows =
    u"select 't', rp_id, filegenorder, duracion_ms, kbps, hz, canales, bytes from infotecnica "
    u"order by 2, 3"_s;

class CliCopyTest : public CliProgramTest {
 protected:
  void SetUp() override {
    CliProgramTest::SetUp();
    REQUIRE_TEST_SERVER();
  }
  QStringList fileRows(const QString& path) const { return queryRows(path, kListingRows); }
};

}  // namespace

TEST_F(CliCopyTest, AFileGoesToTheServerAndBackTwiceAndArrivesOnce) {
  // Real audio, so that the technical fields are there to copy.
  const QString tree = work + u"/Sonido"_s;
  makeAudioFiles({{tree + u"/b.mp3"_s, 22050, 44100, 2, {{u"title"_s, u"Be"_s}}},
                  {tree + u"/a.mp3"_s, 11025, 22050, 1},
                  {tree + u"/Sub/c.mp3"_s, 44100, 44100, 2, {{u"title"_s, u"Ce"_s}}}});
  const QStringList timed = {u"--properties"_s, u"on"_s};
  ASSERT_EQ(run(QStringList{u"scan"_s, tree, u"--store"_s} + timed).exitCode, 0);
  ASSERT_EQ(run(QStringList{u"scan"_s, tree, u"--store"_s} + timed).exitCode, 0);  // as 1
  ASSERT_EQ(run({u"scan"_s, tree + u"/Sub"_s, u"--store"_s}).exitCode, 0);
  // The same rows as 3 but for their technical fields: a listing of its own.
  ASSERT_EQ(run(QStringList{u"scan"_s, tree + u"/Sub"_s, u"--store"_s} + timed).exitCode, 0);
  const QStringList original = fileRows(programFile("quillet.mdb"));
  const QStringList originalTechnical = queryRows(programFile("quillet.mdb"), kTechnicalRows);
  ASSERT_EQ(originalTechnical.size(), 7);
  ServerDatabase server;

  const ProgramRun there = run({u"copy-db"_s, u"--to"_s, server.cadcon()});
  EXPECT_EQ(there.exitCode, 0) << there.err.constData();
  EXPECT_EQ(there.out, "1 -> 1\n2 -> 1 (ya estaba en el destino; no se copia)\n3 -> 3\n4 -> 4\n");
  const ProgramRun again = run({u"copy-db"_s, u"--to"_s, server.cadcon()});
  EXPECT_EQ(again.out,
            "1 -> 1 (ya estaba en el destino; no se copia)\n"
            "2 -> 1 (ya estaba en el destino; no se copia)\n"
            "3 -> 3 (ya estaba en el destino; no se copia)\n"
            "4 -> 4 (ya estaba en el destino; no se copia)\n");
  EXPECT_EQ(server.rows(u"select rp_id from reports order by rp_id"_s),
            (QStringList{u"1"_s, u"3"_s, u"4"_s}));

  const QString back = work + u"/vuelta/quillet.mdb"_s;
  makeDirectory(work + u"/vuelta"_s);
  const QStringList toFile = {u"copy-db"_s, u"--from"_s, server.cadcon(), u"--to"_s,
                              u"Provider=QSQLITE;Data Source="_s + back};
  const ProgramRun home = run(toFile);
  EXPECT_EQ(home.exitCode, 0) << home.err.constData();
  EXPECT_EQ(home.out, "1 -> 1\n3 -> 3\n4 -> 4\n");
  EXPECT_EQ(run(toFile).out,
            "1 -> 1 (ya estaba en el destino; no se copia)\n"
            "3 -> 3 (ya estaba en el destino; no se copia)\n"
            "4 -> 4 (ya estaba en el destino; no se copia)\n");
  // The same rows everywhere, technical fields included, but the twin listing 2.
  const auto withoutTwin = [](QStringList rows) {
    rows.removeIf([](const QString& row) { return row.section(u'|', 1, 1) == u"2"_s; });
    return rows;
  };
  EXPECT_EQ(fileRows(back), withoutTwin(original));
  EXPECT_EQ(server.rows(kListingRows), withoutTwin(original));
  EXPECT_EQ(queryRows(back, kTechnicalRows), withoutTwin(originalTechnical));
  EXPECT_EQ(server.rows(kTechnicalRows), withoutTwin(originalTechnical));
}

TEST_F(CliCopyTest, ATakenNumberGivesTheHighestPlusOneAndAnUnreachableTargetFails) {
  ASSERT_EQ(run({u"scan"_s, tree, u"--store"_s}).exitCode, 0);
  ServerDatabase server;
  ASSERT_EQ(run({u"copy-db"_s, u"--to"_s, server.cadcon()}).exitCode, 0);
  ASSERT_TRUE(server.exec({u"update reports set report_name = 'otro' where rp_id = 1"_s,
                           u"insert into reports values (7, 'siete', 1, 'siete')"_s}));
  const ProgramRun moved = run({u"copy-db"_s, u"--to"_s, server.cadcon()});
  EXPECT_EQ(moved.out, "1 -> 8\n");
  const ProgramRun nowhere =
      run({u"copy-db"_s, u"--to"_s, u"Provider=QPSQL;Host=%1;Database=x;"_s.arg(work)});
  EXPECT_EQ(nowhere.exitCode, 1);
  EXPECT_TRUE(
      nowhere.err.contains("no se puede abrir la base de datos de destino: No se puede "
                           "conectar con el servidor de la BD"))
      << nowhere.err.constData();
}

namespace {

// Copies between files, which need no server.
using CliCopyFileTest = CliProgramTest;

}  // namespace

TEST_F(CliCopyFileTest, ADataSourceEndedByASemicolonNamesTheFileWithoutIt) {
  ASSERT_EQ(run({u"scan"_s, tree, u"--store"_s}).exitCode, 0);
  const QString target = work + u"/copia.mdb"_s;
  const ProgramRun copy =
      run({u"copy-db"_s, u"--to"_s, u"Provider=QSQLITE;Data Source="_s + target + u';'});
  EXPECT_EQ(copy.exitCode, 0) << copy.err.constData();
  EXPECT_EQ(copy.out, "1 -> 1\n");
  EXPECT_FALSE(QFile::exists(target + u';'));
  EXPECT_EQ(queryRows(target, u"select count(*) from reports"_s), QStringList{u"1"_s});
}

TEST_F(CliCopyFileTest, AMissingSourceFileFailsAndMakesNothing) {
  const QString source = work + u"/no-hay.mdb"_s;
  const QString target = work + u"/destino.mdb"_s;
  const ProgramRun copy =
      run({u"copy-db"_s, u"--from"_s, u"Provider=QSQLITE;Data Source="_s + source, u"--to"_s,
           u"Provider=QSQLITE;Data Source="_s + target});
  EXPECT_EQ(copy.exitCode, 1);
  EXPECT_EQ(QString::fromUtf8(copy.err),
            u"quillet: no existe la base de datos de origen: "_s + source + u'\n');
  EXPECT_FALSE(QFile::exists(source));
  EXPECT_FALSE(QFile::exists(target));
}
