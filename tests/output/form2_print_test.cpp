#include <QApplication>
#include <QFontDatabase>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QTimer>

#include "form2_fixture.h"
#include "support/pdf_tools.h"

using namespace Qt::StringLiterals;

namespace {

QStringList numberedSongs(int count) {
  QStringList entries;
  for (int n = 1; n <= count; ++n) {
    entries.append(u"F-%1 Canción número %1"_s.arg(n));
  }
  return entries;
}

}  // namespace

// Prints through the print window onto a fake printer "P" that writes a PDF file.
class Form2PrintTest : public Form2Test {
 protected:
  void SetUp() override {
    Form2Test::SetUp();
    printers = installPrinters({u"P"_s}, u"P"_s);
  }

  QString print(const QStringList& entries) {
    auto listing = listingOf(entries);
    window()->Abre(u"120000"_s, listing.get());
    press("Command1");
    return printers->pdfPath(u"P"_s);
  }

  std::shared_ptr<FakePrinters> printers;
};

TEST_F(Form2PrintTest, PrintsEveryEntryWholeWithItsMarkerInOrder) {
  const QString pdf = print({u"D-1 /música/Álbum"_s, u"F-1 Primera canción"_s,
                             u"F-2 Segunda canción"_s, u"  "_s, u"D-2 /otro"_s, u"F-"_s, u"  "_s});
  EXPECT_EQ(nonBlankLines(pdfLayoutText(pdf)),
            (QStringList{u"D-1 /música/Álbum"_s, u"F-1 Primera canción"_s, u"F-2 Segunda canción"_s,
                         u"D-2 /otro"_s, u"F-"_s}));
  EXPECT_EQ(pdfPageInfo(pdf).pages, 1);
  EXPECT_EQ(logLines, QStringList{u"Imprimiendo listado..."_s});
  EXPECT_TRUE(messages.isEmpty());
}

// An entry with "{Lf}" in its design prints on two lines; tabs move to common stops.
TEST_F(Form2PrintTest, LineBreaksInsideAnEntryGoOnTheNextLineAndTabsAlign) {
  const QString pdf =
      print({u"F-1 Título\r\nArtista"_s, u"F-2\tuno"_s, u"F-10\tdos"_s, u"F-3 fin"_s});
  const QStringList lines = nonBlankLines(pdfLayoutText(pdf));
  ASSERT_EQ(lines.size(), 5) << lines.join(u'|').toStdString();
  EXPECT_EQ(lines[0], u"F-1 Título"_s);
  EXPECT_EQ(lines[1], u"Artista"_s);
  EXPECT_TRUE(lines[2].contains(QRegularExpression(u"^F-2 +uno$"_s))) << lines[2].toStdString();
  EXPECT_TRUE(lines[3].contains(QRegularExpression(u"^F-10 +dos$"_s))) << lines[3].toStdString();
  EXPECT_EQ(lines[2].indexOf(u"uno"_s), lines[3].indexOf(u"dos"_s));
  EXPECT_EQ(lines[4], u"F-3 fin"_s);
}

TEST_F(Form2PrintTest, ALongListingFillsPagesInOrder) {
  const QStringList entries = numberedSongs(300);
  const QString pdf = print(entries);
  const QString text = pdfLayoutText(pdf);
  EXPECT_EQ(nonBlankLines(text), entries);

  const QStringList pages = text.split(u'\f', Qt::SkipEmptyParts);
  ASSERT_GE(pages.size(), 2);
  EXPECT_EQ(pdfPageInfo(pdf).pages, pages.size());
  // Every page but the last is full; the last holds what is left.
  const qsizetype perPage = nonBlankLines(pages[0]).size();
  for (qsizetype i = 0; i + 1 < pages.size(); ++i) {
    EXPECT_EQ(nonBlankLines(pages[i]).size(), perPage) << "page " << i + 1;
  }
  EXPECT_GE(nonBlankLines(pages.last()).size(), 1);
  EXPECT_LE(nonBlankLines(pages.last()).size(), perPage);
}

// The dialog shows itself only once a print has run a few seconds; the test presses its
// Cancelar at the first page done, shown or not.
TEST_F(Form2PrintTest, ALongPrintReportsPagesDoneAndCanBeCancelled) {
  QString label;
  QTimer::singleShot(0, [&] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* progress = qobject_cast<QProgressDialog*>(widget)) {
        label = progress->labelText();
        progress->cancel();
      }
    }
  });
  print(numberedSongs(300));
  EXPECT_EQ(label, u"Imprimiendo el listado: 1 páginas hechas"_s);
  EXPECT_EQ(logLines, QStringList{u"Impresión del listado cancelada"_s});
  EXPECT_TRUE(messages.isEmpty());
}

TEST_F(Form2PrintTest, TheChosenSizeSetsTheLineHeight) {
  const QStringList entries = numberedSongs(300);
  const int pagesAt7 = pdfPageInfo(print(entries)).pages;
  choose("Combo3", u"14"_s);
  const int pagesAt14 = pdfPageInfo(print(entries)).pages;
  ASSERT_GE(pagesAt7, 2);
  EXPECT_GE(pagesAt14, 2 * pagesAt7 - 1);
  EXPECT_LE(pagesAt14, 2 * pagesAt7 + 1);
}

TEST_F(Form2PrintTest, TheChosenFontIsTheOneInTheDocument) {
  // Families Debian installs with Qt, with the names they carry inside a PDF.
  const QList<std::pair<QString, QString>> candidates = {
      {u"DejaVu Sans Mono"_s, u"DejaVuSansMono"_s},
      {u"DejaVu Serif"_s, u"DejaVuSerif"_s},
      {u"Noto Mono"_s, u"NotoMono"_s}};
  for (const auto& [family, pdfName] : candidates) {
    if (combo("Combo2")->findText(family) < 0) {
      continue;
    }
    choose("Combo2", family);
    EXPECT_EQ(pdfFontNames(print({u"D-1 fuente"_s})), QStringList{pdfName});
    return;
  }
  GTEST_SKIP() << "none of the expected font families is installed";
}

TEST_F(Form2PrintTest, OrientationFollowsThePaperPositionAndPrintingCanBeRepeated) {
  const PdfPageInfo portrait = pdfPageInfo(print({u"D-1 vertical"_s}));
  EXPECT_GT(portrait.height, portrait.width);

  choose("Combo1", u"Horitzontal"_s);
  const PdfPageInfo landscape = pdfPageInfo(print({u"D-1 horizontal"_s}));
  EXPECT_GT(landscape.width, landscape.height);
  EXPECT_EQ(landscape.width, portrait.height);

  EXPECT_TRUE(window()->isVisible());
  EXPECT_EQ(logLines, QStringList(2, u"Imprimiendo listado..."_s));
}

// Two listing windows created in the same second share their tag; only the one that opened the
// print window last is printed.
TEST_F(Form2PrintTest, PrintsOnlyTheListingThatOpenedTheWindowLast) {
  auto first = listingOf({u"D-1 primero"_s});
  auto second = listingOf({u"D-1 segundo"_s});
  window()->Abre(u"120000"_s, first.get());
  window()->Abre(u"120000"_s, second.get());
  press("Command1");
  EXPECT_EQ(nonBlankLines(pdfLayoutText(printers->pdfPath(u"P"_s))), QStringList{u"D-1 segundo"_s});
}
