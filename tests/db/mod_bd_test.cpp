#include "db/mod_bd.h"

#include <QFile>

#include "support/listing_db_fixture.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

class ModBdTest : public ::testing::Test {
 protected:
  void TearDown() override { CloseBd(); }
  void install(const QString& cadcon = u"Provider=QSQLITE;"_s) {
    dir_ = installProgramFiles(cadcon);
  }
  QString file(const QString& name) const { return dir_ + u'/' + name; }
  QString dir_;
  LogRecorder log_;
};

}  // namespace

TEST_F(ModBdTest, FirstStartCopiesTheTemplateAndLogsEachStepInOrder) {
  install();
  ASSERT_EQ(OpenBd(), QString());
  EXPECT_EQ(log_.lines,
            QStringList({u"Inicializando conexion BD..."_s,
                         u"Nueva base de datos vacia generada correctamente "
                         u"(bd-acces2k.blank)"_s,
                         u"Conectando con "_s + file(u"quillet.mdb"_s),
                         u"mediante Provider=QSQLITE;"_s, u"Conexión satisfactoria!"_s}));
  EXPECT_EQ(BdPath(), file(u"quillet.mdb"_s));
  EXPECT_EQ(BdConnection().State(), kStateOpen);
  EXPECT_TRUE(BdConnection().Execute(u"INSERT INTO reports VALUES (1,'a',1,'a')"_s));

  // The next start opens the same file as it is.
  CloseBd();
  log_.lines.clear();
  ASSERT_EQ(OpenBd(), QString());
  EXPECT_FALSE(log_.lines.contains(
      u"Nueva base de datos vacia generada correctamente (bd-acces2k.blank)"_s));
  EXPECT_EQ(queryRows(BdPath(), u"select rp_id from reports"_s), QStringList({u"1"_s}));
}

TEST_F(ModBdTest, NewBlankBdBacksUpTheDatabaseItReplaces) {
  install();
  ASSERT_EQ(OpenBd(), QString());
  ASSERT_TRUE(BdConnection().Execute(u"INSERT INTO reports VALUES (1,'a',1,'a')"_s));
  CloseBd();
  ASSERT_EQ(NewBlankBd(), QString());
  EXPECT_EQ(queryRows(file(u"quillet.bakup.mdb"_s), u"select rp_id from reports"_s),
            QStringList({u"1"_s}));
  EXPECT_EQ(queryRows(file(u"quillet.mdb"_s), u"select rp_id from reports"_s), QStringList());
}

TEST_F(ModBdTest, CloseBdLogsItsThreeLinesEvenWhenNothingWasOpen) {
  install();
  CloseBd();
  EXPECT_EQ(log_.lines,
            QStringList({u"Cerrando posible conjunto de registros abierto"_s,
                         u"Cerrando conexion BD"_s, u"Conexion BD cerrada satisfactoriamente"_s}));
}

TEST_F(ModBdTest, MissingTemplateIsReportedWithItsOwnTextAndNothingOpens) {
  install();
  ASSERT_TRUE(QFile::remove(file(u"bd-acces2k.blank"_s)));
  const QString failure = OpenBd();
  EXPECT_EQ(failure, u"No se encuentra la plantilla de base de datos vacía "_s +
                         file(u"bd-acces2k.blank"_s));
  EXPECT_EQ(log_.lines.last(), failure);
  EXPECT_EQ(BdConnection().State(), kStateClosed);
  EXPECT_FALSE(QFile::exists(file(u"quillet.mdb"_s)));
}

TEST_F(ModBdTest, BadCadconCannotConnectAndSaysWhy) {
  install(u"Provider=Microsoft.Jet.OLEDB.4.0;"_s);
  const QString failure = OpenBd();
  EXPECT_EQ(failure, u"Proveedor de base de datos desconocido: MICROSOFT.JET.OLEDB.4.0"_s);
  ASSERT_GE(log_.lines.size(), 2);
  EXPECT_EQ(log_.lines.mid(log_.lines.size() - 2), QStringList({u"Imposible conectar"_s, failure}));
  EXPECT_EQ(BdConnection().State(), kStateClosed);
}

TEST_F(ModBdTest, CorruptOrForeignFileIsRefused) {
  install();
  writeFile(file(u"quillet.mdb"_s), QByteArray(4096, 'x'));
  EXPECT_TRUE(OpenBd().contains(u"no es una base de datos de listados válida"_s));
  EXPECT_EQ(BdConnection().State(), kStateClosed);
  EXPECT_TRUE(log_.lines.contains(u"Imposible conectar"_s));
}

// A file connection closed under a use opens the same file again on the next one; a file that
// went is never made anew in its place.
TEST_F(ModBdTest, AClosedFileIsOpenedAgainOnUseButNeverMadeAnew) {
  install();
  ASSERT_EQ(OpenBd(), QString());
  BdConnection().Close();
  EXPECT_TRUE(BdConnection().Execute(u"INSERT INTO reports VALUES (1,'a',1,'a')"_s));
  BdConnection().Close();
  ASSERT_TRUE(QFile::rename(BdPath(), BdPath() + u".aparte"_s));
  EXPECT_FALSE(BdConnection().Execute(u"DELETE FROM reports"_s));
  EXPECT_EQ(BdConnection().lastError(), u"No se encuentra la BD "_s + BdPath());
  EXPECT_FALSE(QFile::exists(BdPath()));
}
