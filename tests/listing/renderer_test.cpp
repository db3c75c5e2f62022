#include "listing/renderer.h"

#include <memory>

#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

class RenderTest : public testing::Test {
 protected:
  std::unique_ptr<ListingModel> model = std::make_unique<ListingModel>();

  // Appends a directory with files of the given names, numbered on from the last one.
  void addDirectory(const QString& dirname, const QStringList& files) {
    const int d = ++model->DirActualNum;
    const int first = model->DirActualNum == 1 ? 1 : model->Directorios[d - 1].songto + 1;
    model->Directorios[d] = {dirname, static_cast<int>(first),
                             static_cast<int>(first + files.size() - 1)};
    for (int i = 0; i < files.size(); ++i) {
      SongRecord& song = model->Canciones[first + i];
      song.filename = files[i];
      song.fileorder = QString::number(i + 1);
      song.track = u"0"_s;
    }
  }

  QStringList texts(const LineDesigns& designs) const {
    QStringList lines;
    for (const RenderedEntry& entry : renderListing(*model, designs)) {
      lines.append(entry.text);
    }
    return lines;
  }

  QStringList htmls(const LineDesigns& designs) const {
    QStringList lines;
    for (const RenderedEntry& entry : renderListing(*model, designs)) {
      lines.append(entry.html);
    }
    return lines;
  }
};

}  // namespace

TEST_F(RenderTest, DefaultDesignsGiveDirectoryFileAndSeparatorLines) {
  addDirectory(u"/music/Jazz"_s, {u"01 Intro.mp3"_s, u"02 Blue.mp3"_s});
  EXPECT_EQ(texts({u"{#D} {TD}"_s, u"{#F} {TF}"_s}),
            (QStringList{u"D-1 /music/Jazz"_s, u"F-1 01 Intro"_s, u"F-2 02 Blue"_s, u"  "_s}));
}

TEST_F(RenderTest, EmptyDesignsDropDirectoryLinesButKeepBareFileLines) {
  addDirectory(u"/a"_s, {u"x.mp3"_s});
  addDirectory(u"/b"_s, {u"y.mp3"_s});
  EXPECT_EQ(texts({QString(), QString()}), (QStringList{u"F-"_s, u"  "_s, u"F-"_s, u"  "_s}));
  model->Directorios[2].songto = 0;  // before its songfrom: no file lines
  EXPECT_EQ(texts({u"{#D}"_s, u"{#F}"_s}),
            (QStringList{u"D-1"_s, u"F-1"_s, u"  "_s, u"D-2"_s, u"  "_s}));
}

TEST_F(RenderTest, OrderRestartsPerDirectoryWhileFileNumbersRunOn) {
  addDirectory(u"/a"_s, {u"x.mp3"_s, u"y.mp3"_s});
  addDirectory(u"/b"_s, {u"z.mp3"_s});
  EXPECT_EQ(texts({u"{#D}"_s, u"{#D}.{#F}.{OF}"_s}),
            (QStringList{u"D-1"_s, u"F-1.1.1"_s, u"F-1.2.2"_s, u"  "_s, u"D-2"_s, u"F-2.3.1"_s,
                         u"  "_s}));
}

TEST_F(RenderTest, PlaceholdersAreExactCaseSensitiveAndDesignSpecific) {
  addDirectory(u"/a"_s, {u"x.mp3"_s});
  EXPECT_EQ(texts({u"{#F}{tb}{TF}{Tb}|{Lf}end"_s, u"{TF}{Lf}{x}{3tit}"_s}),
            (QStringList{u"D-{#F}{tb}{TF}\t|\r\nend"_s, u"F-x\r\n{x}{3tit}"_s, u"  "_s}));
}

TEST_F(RenderTest, EveryTagPlaceholderTakesItsField) {
  addDirectory(u"/a"_s, {u"x.mp3"_s, u"y.mp3"_s});
  model->Canciones[1] = {u"Alb"_s, u"Art"_s,  u"Com"_s,   u"Rock"_s, u"Tit"_s,
                         u"7"_s,   u"1999"_s, u"x.mp3"_s, u"1"_s};
  model->Canciones[2].track = u"-1"_s;
  EXPECT_EQ(texts({QString(), u"{3Alb}|{3Art}|{3Com}|{3Gen}|{3Tit}|{3Tra}|{3Yea}"_s}),
            (QStringList{u"F-Alb|Art|Com|Rock|Tit|7|1999"_s, u"F-|||||-1|"_s, u"  "_s}));
}

TEST_F(RenderTest, TextInsertedByOneStepIsSeenOnlyByTheLaterSteps) {
  addDirectory(u"/a{Tb}b"_s, {u"{3Yea}.mp3"_s});
  SongRecord& song = model->Canciones[1];
  song.title = u"T{3Yea}"_s;
  song.year = u"Y{3Tit}"_s;
  song.album = u"{#F}"_s;  // "{#F}" is replaced before albums are inserted
  EXPECT_EQ(texts({u"{TD}"_s, u"{TD}|{3Tit}|{3Yea}|{TF}|{3Alb}"_s}),
            (QStringList{u"D-/a\tb"_s, u"F-/a\tb|TY{3Tit}|Y{3Tit}|Y{3Tit}|{#F}"_s, u"  "_s}));
}

TEST_F(RenderTest, PlaceholdersCanBeCompletedByInsertedText) {
  addDirectory(u"ea"_s, {u"x.mp3"_s});
  model->Canciones[1].year = u"2001"_s;
  EXPECT_EQ(texts({QString(), u"{3Y{TD}}"_s}), (QStringList{u"F-2001"_s, u"  "_s}));
  model->Directorios[1].dirname = QString();
  EXPECT_EQ(texts({QString(), u"{3{TD}Yea}"_s}), (QStringList{u"F-2001"_s, u"  "_s}));
}

TEST_F(RenderTest, HtmlFormEscapesListingValuesButNotTheDesign) {
  addDirectory(u"/R&B <live>"_s, {u"\"Hit\" & <b>.mp3"_s});
  SongRecord& song = model->Canciones[1];
  song.title = u"<script>{3Yea}"_s;
  song.year = u"<1999>"_s;
  const LineDesigns designs{u"<i>{TD}</i>"_s, u"<b>{TF}</b>{Tb}{3Tit}"_s};
  EXPECT_EQ(texts(designs), (QStringList{u"D-<i>/R&B <live></i>"_s,
                                         u"F-<b>\"Hit\" & <b></b>\t<script><1999>"_s, u"  "_s}));
  EXPECT_EQ(htmls(designs),
            (QStringList{u"D-<i>/R&amp;B &lt;live&gt;</i>"_s,
                         u"F-<b>&quot;Hit&quot; &amp; &lt;b&gt;</b>\t&lt;script&gt;&lt;1999&gt;"_s,
                         u"  "_s}));
}

TEST_F(RenderTest, StrayBracesInTheDesignChangeNothingElse) {
  // A stray brace takes the step-by-step path; every line must match the one-pass result.
  addDirectory(u"/a & b"_s, {u"01 <x>.mp3"_s, u"02.mp3"_s});
  addDirectory(u"/c"_s, {u"03.mp3"_s});
  model->Canciones[2].title = u"\"T\""_s;
  const QString file = u"{#D}.{#F} {TD}{Tb}{TF} {OF} {3Tit}{3Tra}{Lf}<hr>"_s;
  const std::vector<RenderedEntry> plain = renderListing(*model, {u"{TD}"_s, file});
  const std::vector<RenderedEntry> stray = renderListing(*model, {u"{TD}}"_s, file + u"{"_s});
  ASSERT_EQ(plain.size(), stray.size());
  for (std::size_t i = 0; i < plain.size(); ++i) {
    const QString tail = plain[i].text.startsWith(u"D-"_s)   ? u"}"_s
                         : plain[i].text.startsWith(u"F-"_s) ? u"{"_s
                                                             : QString();
    EXPECT_EQ(stray[i].text, plain[i].text + tail);
    EXPECT_EQ(stray[i].html, plain[i].html + tail);
  }
}

TEST_F(RenderTest, OddNamesAndOrdersNeverStopRendering) {
  addDirectory(u"/a"_s, {u"ab"_s, u"c.mp3"_s, u"d.mp3"_s});
  model->Canciones[2].fileorder = u"007"_s;
  model->Canciones[3].fileorder = u"tres"_s;
  EXPECT_EQ(texts({QString(), u"[{TF}][{OF}]"_s}),
            (QStringList{u"F-[][1]"_s, u"F-[c][7]"_s, u"F-[d][tres]"_s, u"  "_s}));
}

TEST_F(RenderTest, CountersOutsideTheArraysAreClamped) {
  EXPECT_TRUE(renderListing(*model, {u"{TD}"_s, u"{TF}"_s}).empty());
  addDirectory(u"/a"_s, {u"x.mp3"_s});
  model->Directorios[1].songfrom = -5;
  model->Directorios[1].songto = 30000;
  model->DirActualNum = 32000;
  const std::vector<RenderedEntry> entries = renderListing(*model, {QString(), u"{#F}"_s});
  EXPECT_EQ(entries.size(), std::size_t{kMaxCanciones + kMaxDirectorios});
  EXPECT_EQ(entries[kMaxCanciones - 1].text, u"F-1000"_s);
}
