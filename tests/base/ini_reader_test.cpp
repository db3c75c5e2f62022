#include "base/ini_reader.h"

#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

QString iniWith(const QByteArray& content) {
  const QString path = TestEnvironment::newTempDir() + u"/config.ini"_s;
  writeFile(path, content);
  return path;
}

}  // namespace

TEST(ReadIni, MatchesSectionsAndKeysWhateverTheirCase) {
  const QString ini = iniWith("[LOG]\r\nLogFile=q.log\r\n[bd]\r\ncadcon=Provider=QSQLITE;\r\n");
  EXPECT_EQ(ReadIni(u"log"_s, u"logfile"_s, ini), u"q.log"_s);
  EXPECT_EQ(ReadIni(u"Log"_s, u"LOGFILE"_s, ini), u"q.log"_s);
  EXPECT_EQ(ReadIni(u"bd"_s, u"cadcon"_s, ini), u"Provider=QSQLITE;"_s);
}

TEST(ReadIni, TrimsBlanksAndOnePairOfQuotes) {
  const QString ini = iniWith(
      "  [ log ]  \n  logfile  =   my log.txt   \nq1=\"quoted value\"\nq2='single'\nq3=\"half\n");
  EXPECT_EQ(ReadIni(u"log"_s, u"logfile"_s, ini), u"my log.txt"_s);
  EXPECT_EQ(ReadIni(u"log"_s, u"q1"_s, ini), u"quoted value"_s);
  EXPECT_EQ(ReadIni(u"log"_s, u"q2"_s, ini), u"single"_s);
  EXPECT_EQ(ReadIni(u"log"_s, u"q3"_s, ini), u"\"half"_s);
}

TEST(ReadIni, SkipsCommentsAndKeysOfOtherSections) {
  const QString ini = iniWith(
      ";logfile=comment.log\n[other]\nlogfile=other.log\n[log]\n"
      ";logfile=commented.log\nlogfile=real.log\n");
  EXPECT_EQ(ReadIni(u"log"_s, u"logfile"_s, ini), u"real.log"_s);
}

TEST(ReadIni, MissingFileSectionOrKeyGivesEmptyText) {
  const QString ini = iniWith("[log]\nlogfile=a.log\n");
  EXPECT_EQ(ReadIni(u"log"_s, u"logfile"_s, ini + u".missing"_s), QString());
  EXPECT_EQ(ReadIni(u"bd"_s, u"cadcon"_s, ini), QString());
  EXPECT_EQ(ReadIni(u"log"_s, u"cadcon"_s, ini), QString());
}

TEST(ReadIni, CutsLongValuesToTheBuffer) {
  const QByteArray value(2000, 'x');
  const QString ini = iniWith("[log]\nlogfile=" + value + "\n");
  EXPECT_EQ(ReadIni(u"log"_s, u"logfile"_s, ini).size(), 749);
}
