#include <QFileInfo>

#include "form2_fixture.h"
#include "platform/gui_save_chooser.h"
#include "support/pdf_tools.h"

using namespace Qt::StringLiterals;

// "Guardar como PDF..." on a machine with no printer installed: the print window lists none,
// and the pages still go to the file the save dialog names.
class Form2PdfTest : public Form2Test {
 protected:
  void SetUp() override {
    Form2Test::SetUp();
    installPrinters({}, {});
    folder = TestEnvironment::newTempDir();
    setSaveChooserAnswerer([this](QWidget*, const SaveRequest& request) {
      asked.append(request);
      return answer;
    });
  }
  void TearDown() override {
    setSaveChooserAnswerer({});
    Form2Test::TearDown();
  }

  void saveAsPdf(const QStringList& entries) {
    auto listing = listingOf(entries);
    window()->Abre(u"120000"_s, listing.get());
    press("Command3");
  }

  QString folder;
  QString answer;
  QList<SaveRequest> asked;
};

TEST_F(Form2PdfTest, WithoutPrintersTheListingGoesToTheChosenPdfAndTheLogNamesIt) {
  ASSERT_EQ(combo("Combo4")->itemText(0), u"*|SIN IMPRESORA|*"_s);
  EXPECT_EQ(window()->findChild<QPushButton*>(u"Command3"_s)->text(), u"Guardar como PDF..."_s);
  answer = folder + u"/mi lista.pdf"_s;
  saveAsPdf({u"D-1 /música/Álbum"_s, u"F-1 Primera canción"_s, u"  "_s});

  ASSERT_EQ(asked.size(), 1);
  EXPECT_EQ(asked[0].title, u"Guardar como PDF"_s);
  EXPECT_TRUE(asked[0].proposed.endsWith(u"/lista.pdf"_s));
  EXPECT_EQ(asked[0].filter, u"PDF (*.pdf)"_s);
  EXPECT_TRUE(readFile(answer).startsWith("%PDF-"));
  EXPECT_EQ(nonBlankLines(pdfLayoutText(answer)),
            (QStringList{u"D-1 /música/Álbum"_s, u"F-1 Primera canción"_s}));
  const PdfPageInfo page = pdfPageInfo(answer);
  EXPECT_EQ(page.pages, 1);
  EXPECT_LT(page.width, page.height);  // "Vertical" is the default
  EXPECT_EQ(logLines, QStringList{u"Listado guardado como PDF en "_s + answer});
  EXPECT_TRUE(messages.isEmpty());

  // "Imprimir" still does nothing without a printer.
  press("Command1");
  EXPECT_EQ(logLines.size(), 1);
}

TEST_F(Form2PdfTest, TheChosenOrientationAndSizeLayOutThePagesAndAnOldFileIsReplaced) {
  answer = folder + u"/lista.pdf"_s;
  writeFile(answer, "an older file");
  choose("Combo1", u"Horitzontal"_s);
  choose("Combo3", u"16"_s);
  QStringList entries;
  for (int n = 1; n <= 80; ++n) {
    entries.append(u"F-%1 Canción"_s.arg(n));
  }
  saveAsPdf(entries);
  const PdfPageInfo pages = pdfPageInfo(answer);
  EXPECT_GT(pages.width, pages.height);
  EXPECT_GT(pages.pages, 1);
  EXPECT_EQ(nonBlankLines(pdfLayoutText(answer)).filter(u"Canción"_s).size(), 80);
}

TEST_F(Form2PdfTest, CancelWritesNothingAndAFailureIsSaidAndLeavesNoFile) {
  answer.clear();
  saveAsPdf({u"F-1 uno"_s});
  EXPECT_TRUE(logLines.isEmpty());
  EXPECT_TRUE(messages.isEmpty());

  answer = folder + u"/no/existe/lista.pdf"_s;
  saveAsPdf({u"F-1 uno"_s});
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].startsWith(u"No se ha podido guardar el listado en "_s + answer));
  ASSERT_EQ(logLines.size(), 1);
  EXPECT_TRUE(
      logLines[0].startsWith(u"No se ha podido guardar el listado en "_s + answer + u": "_s));
  EXPECT_FALSE(QFileInfo::exists(answer));
}
