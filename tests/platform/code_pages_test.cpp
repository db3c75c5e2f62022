#include "platform/code_pages.h"

#include "support/fixtures.h"
#include "support/test_env.h"
#include "tags/id3.h"

using namespace Qt::StringLiterals;

namespace {

QString titleIn(CodePage page, const QByteArray& title) {
  return tagFromFileEnd(id3v1Block({.title = title}), page).Title;
}

}  // namespace

TEST(CodePages, Id3v1TitlesDecodeInTheChosenPage) {
  EXPECT_EQ(titleIn(CodePage::Windows1252, "\x80 \xe9\x9f"), u"€ é\u0178"_s);
  EXPECT_EQ(titleIn(CodePage::Iso8859_1, "\x80 \xe9\xa4"), u"\u0080 é¤"_s);
  EXPECT_EQ(titleIn(CodePage::Iso8859_15, "\xa4 \xe9\xbd"), u"€ éœ"_s);
  EXPECT_EQ(titleIn(CodePage::Windows1250,
                    "\x8a\xe8\xb9 \xa3\xf3"
                    "d\xbf"),
            u"Ščą Łódż"_s);
  EXPECT_EQ(titleIn(CodePage::Windows1251, "\xcf\xf0\xe8\xe2\xe5\xf2 \xa8\xb8"), u"Привет Ёё"_s);
  EXPECT_EQ(titleIn(CodePage::Utf8, "Espa\xc3\xb1\x61 \xe2\x82\xac"), u"España €"_s);
}

TEST(CodePages, UndefinedWindowsBytesKeepTheirControlCharacters) {
  EXPECT_EQ(titleIn(CodePage::Windows1252, "\x81\x8d\x8f\x90\x9d"),
            u"\u0081\u008d\u008f\u0090\u009d"_s);
  EXPECT_EQ(titleIn(CodePage::Windows1250, "\x81\x83\x88\x90\x98"),
            u"\u0081\u0083\u0088\u0090\u0098"_s);
  EXPECT_EQ(titleIn(CodePage::Windows1251, "\x98"), u"\u0098"_s);
}

TEST(CodePages, InvalidUtf8FallsBackToWindows1252ByteByByte) {
  EXPECT_EQ(titleIn(CodePage::Utf8, "Caf\xe9 \x80"), u"Café €"_s);
  EXPECT_EQ(titleIn(CodePage::Utf8, "cut \xc3"), u"cut Ã"_s);  // a sequence cut short
}

TEST(CodePages, NulCutAndTrailingBlanksComeBeforeDecoding) {
  const TagInfo tag = tagFromFileEnd(
      id3v1Block({.title = QByteArray("\xd0\x96 \0rest", 8), .pad = ' '}), CodePage::Utf8);
  EXPECT_EQ(tag.Title, u"Ж"_s);
}

TEST(CodePages, NamesAndAliases) {
  for (const CodePage page : kAllCodePages) {
    EXPECT_EQ(codePageFromName(codePageName(page)), page);
    EXPECT_EQ(codePageFromName(codePageName(page).toLower()), page);
  }
  EXPECT_EQ(codePageFromName(u"cp1251"_s), CodePage::Windows1251);
  EXPECT_EQ(codePageFromName(u"utf8"_s), CodePage::Utf8);
  EXPECT_FALSE(codePageFromName(u"koi8-r"_s).has_value());
}

TEST(ExportEncodings, Windows1252KeepsQuestionMarksUtf8KeepsEverything) {
  EXPECT_EQ(encodeExportText(ExportEncoding::Windows1252, u"é€Ж"_s), QByteArray("\xe9\x80?"));
  EXPECT_EQ(encodeExportText(ExportEncoding::Utf8, u"é€Ж"_s),
            QByteArray("\xc3\xa9\xe2\x82\xac\xd0\x96"));
  EXPECT_EQ(exportEncodingFromKey(u"utf8"_s), ExportEncoding::Utf8);
  EXPECT_EQ(exportEncodingFromKey(u"cp1252"_s), ExportEncoding::Windows1252);
  EXPECT_FALSE(exportEncodingFromKey(u"UTF-8"_s).has_value());
}
