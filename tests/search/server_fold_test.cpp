// The server folds what it indexes with its own function; it must fold every character exactly
// as the program does, or the two engines would find different files.

#include <QSqlQuery>

#include <algorithm>

#include "db/mod_bd.h"
#include "search/search_fold.h"
#include "support/listing_db_fixture.h"

using namespace Qt::StringLiterals;

namespace {

class ServerFoldTest : public BdTest {
 protected:
  void SetUp() override {
    REQUIRE_TEST_SERVER();
    openOn(Engine::Server);
  }
};

}  // namespace

TEST_F(ServerFoldTest, EveryCharacterFoldsAsTheProgramFoldsIt) {
  // Folded in blocks, each character's fold apart from the next by a U+0001 that no fold
  // gives, so a million characters cross in a few thousand rows.
  constexpr int kBlock = 1024;
  QSqlQuery query(BdConnection().driverConnection());
  query.setForwardOnly(true);
  ASSERT_TRUE(
      query.exec(u"SELECT i / %1, string_agg(quillet_fold(chr(i)), chr(1) ORDER BY i) FROM "
                 u"generate_series(1, 1114111) AS i WHERE i < 55296 OR i > 57343 GROUP BY i / %1 "
                 u"ORDER BY 1"_s.arg(kBlock)));
  int blocks = 0;
  QStringList differing;
  while (query.next()) {
    const QStringList folds = query.value(1).toString().split(u'\u0001');
    char32_t c = std::max<char32_t>(1, query.value(0).toUInt() * kBlock);
    for (const QString& fold : folds) {
      if (c == 0xD800) {
        c = 0xE000;
      }
      if (fold != foldText(QStringView(QChar::fromUcs4(c)).toString()) && differing.size() < 20) {
        differing.append(u"U+"_s + QString::number(c, 16));
      }
      ++c;
    }
    ++blocks;
  }
  EXPECT_EQ(blocks, 0x110000 / kBlock - 0x800 / kBlock);
  EXPECT_EQ(differing, QStringList());
}

TEST_F(ServerFoldTest, TextsAndCopiesKeysFoldAsTheProgramFoldsThem) {
  // Letters that Unicode does not decompose, where unaccent-style rules would differ; ligatures,
  // Hangul, marks on their own, the apostrophe and controls.
  const QStringList texts = {u"Straße ẞ Æsir Œuvre Øresund ß"_s,
                             u"Ǆemal ǅ ǆ ﬁ İstanbul K Å"_s,
                             u"한국어 ㄱ"_s,
                             u"e\u0301\u0327 \u20dd x"_s,
                             u"Rock'n'Roll ´"_s,
                             u"a\tb\u0001c\u0085d\u007f"_s,
                             u"ΣΊΣΥΦΟΣ ς"_s,
                             u"ПРИВЕТ Ёж"_s,
                             u"\U0001D400\U0001F600"_s,
                             u"Niño Josele"_s};
  QSqlQuery query(BdConnection().driverConnection());
  for (const QString& text : texts) {
    ASSERT_TRUE(query.prepare(u"SELECT quillet_fold(?)"_s));
    query.addBindValue(text);
    ASSERT_TRUE(query.exec() && query.next());
    EXPECT_EQ(query.value(0).toString(), foldText(text)) << text.toStdString();
  }
  const QStringList keys[] = {
      {u" Niño\u00a0"_s, u"\u3000Canción "_s, u"x.mp3"_s},
      {u"  "_s, u"título"_s, u"ÁRBOL.mp3"_s},
      {u""_s, u""_s, u""_s},
      {u"ß"_s, u"Œ"_s, u""_s},
  };
  for (const QStringList& key : keys) {
    ASSERT_TRUE(query.prepare(u"SELECT coalesce(quillet_key(?, ?, ?), '')"_s));
    for (const QString& value : key) {
      query.addBindValue(value);
    }
    ASSERT_TRUE(query.exec() && query.next());
    EXPECT_EQ(query.value(0).toString(), duplicateKey(key[0], key[1], key[2]))
        << key.join(u'|').toStdString();
  }
}
