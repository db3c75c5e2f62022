#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "listing_window_fixture.h"
#include "platform/desktop_opener.h"
#include "platform/settings_store.h"
#include "session/program_options.h"

using namespace Qt::StringLiterals;

namespace {

const QStringList kFileEntries = {
    u"{#D}   Numero de Orden del directorio"_s,
    u"{TD}   Nombre del directorio"_s,
    u"{#F}   Numero de Orden del archivo"_s,
    u"{TF}   Nombre del archivo (sin la extension .mp3)"_s,
    u"{OF}   Orden de archivo dentro del directorio"_s,
    u"{Tb}   Tabulación"_s,
    u"{Lf}   Avanze de linea"_s,
    u"{3Alb} ID3 tag Album"_s,
    u"{3Art} ID3 tag Artista"_s,
    u"{3Com} ID3 tag Comentarios"_s,
    u"{3Gen} ID3 tag Género"_s,
    u"{3Tit} ID3 tag Titulo"_s,
    u"{3Tra} ID3 tag Pista"_s,
    u"{3Yea} ID3 tag Año"_s,
};

QStringList entriesOf(const QComboBox& picker) {
  QStringList entries;
  for (int i = 0; i < picker.count(); ++i) {
    entries.append(picker.itemText(i));
  }
  return entries;
}

}  // namespace

class DesignPanelTest : public ListingWindowTest {
 protected:
  QLineEdit* dirDesign() { return control<QLineEdit>(u"Text2"_s); }
  QLineEdit* fileDesign() { return control<QLineEdit>(u"Text1"_s); }
  QComboBox* dirPicker() { return control<QComboBox>(u"Combo2"_s); }
  QComboBox* filePicker() { return control<QComboBox>(u"Combo1"_s); }

  void click(const QString& button) {
    QTest::mouseClick(control<QPushButton>(button), Qt::LeftButton);
  }
};

TEST_F(DesignPanelTest, FirstWindowShowsTheDefaultsAndChoiceOnlyPickersWithNothingChosen) {
  EXPECT_EQ(dirDesign()->text(), u"{#D} {TD}"_s);
  EXPECT_EQ(fileDesign()->text(), u"{#F} {TF}"_s);
  EXPECT_EQ(entriesOf(*filePicker()), kFileEntries);
  const QStringList dirEntries = {kFileEntries[0], kFileEntries[1], kFileEntries[5],
                                  kFileEntries[6]};
  EXPECT_EQ(entriesOf(*dirPicker()), dirEntries);
  for (QComboBox* picker : {filePicker(), dirPicker()}) {
    EXPECT_EQ(picker->currentIndex(), -1);
    EXPECT_FALSE(picker->isEditable());
  }

  // Refilling starts over rather than appending.
  report_->LLenaCombos();
  EXPECT_EQ(filePicker()->count(), 14);
  EXPECT_EQ(dirPicker()->count(), 4);
  EXPECT_EQ(filePicker()->currentIndex(), -1);
}

TEST_F(DesignPanelTest, InsertsTheChosenTokenAtTheCaretAndPutsTheCaretAfterIt) {
  fileDesign()->setCursorPosition(5);  // right after the blank of "{#F} {TF}"
  filePicker()->setCurrentIndex(7);    // "{3Alb} ID3 tag Album"
  click(u"Command1"_s);
  EXPECT_EQ(fileDesign()->text(), u"{#F} {3Alb}{TF}"_s);
  EXPECT_EQ(fileDesign()->cursorPosition(), 11);

  // Four-character tokens lose the blanks that pad them to seven.
  dirDesign()->setCursorPosition(0);
  dirPicker()->setCurrentIndex(2);  // "{Tb}   Tabulación"
  click(u"Command4"_s);
  EXPECT_EQ(dirDesign()->text(), u"{Tb}{#D} {TD}"_s);
  EXPECT_EQ(dirDesign()->cursorPosition(), 4);
  EXPECT_EQ(fileDesign()->text(), u"{#F} {3Alb}{TF}"_s);
}

TEST_F(DesignPanelTest, WithNothingChosenAnInsertChangesNothing) {
  fileDesign()->setCursorPosition(3);
  click(u"Command1"_s);
  EXPECT_EQ(fileDesign()->text(), u"{#F} {TF}"_s);
  EXPECT_EQ(fileDesign()->cursorPosition(), 3);
}

TEST_F(DesignPanelTest, ASelectionIsKeptAndTheTokenGoesInFrontOfIt) {
  fileDesign()->setSelection(5, 4);   // "{TF}", caret at its end
  filePicker()->setCurrentIndex(11);  // "{3Tit}"
  click(u"Command1"_s);
  EXPECT_EQ(fileDesign()->text(), u"{#F} {3Tit}{TF}"_s);
  EXPECT_EQ(fileDesign()->cursorPosition(), 11);
  // One undo takes the insertion back.
  fileDesign()->undo();
  EXPECT_EQ(fileDesign()->text(), u"{#F} {TF}"_s);
}

TEST_F(DesignPanelTest, RefrescaSavesBothDesignsAndTheNextWindowStartsWithThem) {
  fileDesign()->clear();
  QTest::keyClicks(fileDesign(), u"{#F}{Tb}{3Art}"_s);
  dirDesign()->selectAll();
  QTest::keyClick(dirDesign(), Qt::Key_Delete);
  clickToolbar(u"refresca"_s);

  EXPECT_EQ(GetSetting(u"last_cfg"_s, u"DisenyoDirectorio"_s, u"absent"_s), QString());
  EXPECT_EQ(GetSetting(u"last_cfg"_s, u"DisenyoArchivo"_s, u"absent"_s), u"{#F}{Tb}{3Art}"_s);

  frm_report* next = frm_report::openIn(area_);
  EXPECT_EQ(next->designs().directory, QString());
  EXPECT_EQ(next->designs().file, u"{#F}{Tb}{3Art}"_s);
}

TEST_F(DesignPanelTest, EditsClosedWithoutRefrescaAreNotKept) {
  QTest::keyClicks(fileDesign(), u" {3Yea}"_s);
  clickToolbar(u"salir"_s);
  EXPECT_EQ(GetSetting(u"last_cfg"_s, u"DisenyoArchivo"_s, u"absent"_s), u"absent"_s);
  EXPECT_EQ(frm_report::openIn(area_)->designs().file, u"{#F} {TF}"_s);
}

TEST_F(DesignPanelTest, ReferenciaOpensThePlaceholderReference) {
  QStringList opened;
  setDesktopOpenHandler([&opened](const QString& target) {
    opened.append(target);
    return true;
  });
  click(u"Command6"_s);
  setDesktopOpenHandler({});
  EXPECT_EQ(opened, QStringList{TestEnvironment::programDir() + u"/reference.html"_s});
}

TEST_F(DesignPanelTest, WithoutTechnicalFieldsTheHintSaysOnceWhereToReadThem) {
  auto* hint = control<QLabel>(u"Label3"_s);
  ASSERT_TRUE(hint);
  EXPECT_EQ(hint->text(),
            u"Active \"Leer duración y calidad\" en Opciones para ver duración y calidad"_s);
  EXPECT_TRUE(hint->isVisibleTo(hint->parentWidget()));
  EXPECT_EQ(report_->findChildren<QLabel*>(u"Label3"_s).size(), 1);

  ProgramOptions technical;
  technical.tags.properties = true;
  SaveProgramOptions(technical);
  report_->LLenaCombos();
  SaveProgramOptions({});
  EXPECT_FALSE(hint->isVisibleTo(hint->parentWidget()));
  EXPECT_EQ(filePicker()->count(), 18);
}
