#include <QDate>

#include "cli/cli_program_fixture.h"
#include "support/listing_db_fixture.h"

using namespace Qt::StringLiterals;

namespace {

class CliPropsTest : public CliProgramTest {
 protected:
  QByteArray root() const { return QFile::encodeName(tree); }
  QByteArray updated(int number) const {
    return queryRows(programFile("quillet.mdb"),
                     u"SELECT actualizado FROM origen WHERE rp_id = %1"_s.arg(number))
        .value(0)
        .toUtf8();
  }
};

}  // namespace

// The fields set one by one, shown by props and by list --long beside the other columns; the
// plain list as it was.
TEST_F(CliPropsTest, PropsSetsWhatListLongAndPropsShow) {
  ASSERT_EQ(run({u"scan"_s, tree, u"--store"_s}).exitCode, 0);
  ASSERT_EQ(run({u"scan"_s, tree + u"/Sub"_s, u"--store"_s, u"--limits"_s, u"classic"_s}).exitCode,
            0);
  queryRows(programFile("quillet.mdb"), u"INSERT INTO incompletos VALUES (2)"_s);
  for (const QStringList& set :
       {QStringList{u"--ubicacion"_s, u"Caja 3"_s, u"--prestado-a"_s, u"Ana"_s},
        {u"--categoria=Rock\tPop"_s},
        {u"--comentario"_s, u"Rayado"_s}}) {
    const ProgramRun props = run(QStringList{u"props"_s, u"1"_s} + set);
    EXPECT_EQ(props.exitCode, 0) << props.err.data();
    EXPECT_EQ(props.out + props.err, QByteArray());
  }
  EXPECT_EQ(run({u"list"_s}).out, "1\tDIR\t" + root() + "\n2\tDIR\t" + root() + "/Sub\n");
  EXPECT_EQ(run({u"list"_s, u"--long"_s}).out, "1\tDIR\t" + root() + "\tCaja 3\tRock?Pop\t3\t" +
                                                   updated(1) + "\t\n2\tDIR\t" + root() +
                                                   "/Sub\t\t\t1\t" + updated(2) + "\tincompleto\n");

  const QByteArray shown = run({u"props"_s, u"1"_s}).out;
  EXPECT_TRUE(
      shown.startsWith("numero\t1\nubicacion\tCaja 3\ncategoria\tRock?Pop\ncomentario\t"
                       "Rayado\nprestado_a\tAna\nprestado_el\t" +
                       QDate::currentDate().toString(Qt::ISODate).toUtf8() + "\ncatalogado\t"))
      << shown.data();
  EXPECT_TRUE(shown.contains("\nactualizado\t" + updated(1) + "\nruta\t" + root() + "\n"));

  ASSERT_EQ(run({u"props"_s, u"1"_s, u"--ubicacion"_s, u""_s, u"--prestado-a="_s}).exitCode, 0);
  EXPECT_TRUE(
      run({u"props"_s, u"1"_s})
          .out.startsWith(
              "numero\t1\nubicacion\t\ncategoria\tRock?Pop\ncomentario\tRayado\nprestado_a\t\n"
              "prestado_el\t\n"));
}

TEST_F(CliPropsTest, AMissingListingOrAWrongArgumentIsSaid) {
  const ProgramRun missing = run({u"props"_s, u"4"_s, u"--ubicacion"_s, u"Caja"_s});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.err, "quillet: no hay ningún listado con el número 4 en la base de datos\n");
  EXPECT_EQ(run({u"props"_s, u"1"_s, u"--sitio"_s, u"x"_s}).exitCode, 2);
  EXPECT_EQ(run({u"list"_s, u"--long=1"_s}).exitCode, 2);
}
