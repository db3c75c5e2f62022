#include <QFontDatabase>
#include <QLabel>
#include <QPointer>

#include "form2_fixture.h"
#include "output/print_choices.h"

using namespace Qt::StringLiterals;

namespace {

QStringList entriesOf(const QComboBox* box) {
  QStringList entries;
  for (int i = 0; i < box->count(); ++i) {
    entries.append(box->itemText(i));
  }
  return entries;
}

}  // namespace

TEST_F(Form2Test, WindowHasItsCaptionSizeAndControls) {
  installPrinters({u"A"_s}, u"A"_s);
  Form2* form = window();
  EXPECT_EQ(form->windowTitle(), u"Configuración Impresora"_s);
  EXPECT_TRUE(form->isWindow());
  EXPECT_EQ(form->size(), QSize(394, 115));
  EXPECT_EQ(form->minimumSize(), form->maximumSize());
  EXPECT_FALSE(form->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));

  EXPECT_EQ(form->findChild<QLabel*>(u"Label3"_s)->text(), u"Impresora"_s);
  EXPECT_EQ(form->findChild<QLabel*>(u"Label1"_s)->text(), u"Posicion del papel"_s);
  EXPECT_EQ(form->findChild<QLabel*>(u"Label2"_s)->text(), u"Fuente"_s);
  EXPECT_EQ(form->findChild<QPushButton*>(u"Command1"_s)->text(), u"Imprimir"_s);
  EXPECT_EQ(form->findChild<QPushButton*>(u"Command2"_s)->text(), u"Cerrar"_s);
  EXPECT_EQ(combo("Combo4")->geometry().topLeft(), QPoint(144, 6));
  EXPECT_EQ(combo("Combo4")->width(), 175);
  EXPECT_EQ(combo("Combo3")->geometry().topLeft(), QPoint(258, 63));
  EXPECT_EQ(form->findChild<QLabel*>(u"Image1"_s)->pos(), QPoint(375, 42));
  for (const char* name : {"Combo1", "Combo2", "Combo3", "Combo4"}) {
    EXPECT_FALSE(combo(name)->isEditable()) << name;
  }
}

TEST_F(Form2Test, OpensWithItsDefaults) {
  installPrinters({u"A"_s}, u"A"_s);
  EXPECT_EQ(entriesOf(combo("Combo1")), (QStringList{u"Horitzontal"_s, u"Vertical"_s}));
  EXPECT_EQ(combo("Combo1")->currentText(), u"Vertical"_s);
  EXPECT_EQ(combo("Combo3")->count(), 15);
  EXPECT_EQ(combo("Combo3")->itemText(0), u"2"_s);
  EXPECT_EQ(combo("Combo3")->itemText(14), u"16"_s);
  EXPECT_EQ(combo("Combo3")->currentText(), u"7"_s);
  EXPECT_EQ(entriesOf(combo("Combo2")), QFontDatabase::families());
  EXPECT_EQ(combo("Combo2")->currentText(), ListingFontFamily(QFontDatabase::families()));
  EXPECT_FALSE(combo("Combo2")->currentText().isEmpty());
}

// The last printer in list order that is the current printer or the saved one wins.
TEST_F(Form2Test, PreselectsTheLastPrinterThatIsCurrentOrSaved) {
  struct Case {
    QStringList printers;
    QString systemDefault;
    QString saved;
    QString expected;
  };
  const QList<Case> cases = {
      {{u"A"_s, u"B"_s}, u"A"_s, u"B"_s, u"B"_s},
      {{u"B"_s, u"A"_s}, u"A"_s, u"B"_s, u"A"_s},
      {{u"X"_s, u"Y"_s, u"Z"_s}, u"Y"_s, u"Gone"_s, u"Y"_s},
      {{u"X"_s, u"Y"_s, u"Z"_s}, QString(), u"Gone"_s, u"X"_s},
      {{u"X"_s, u"Y"_s}, QString(), u"y"_s, u"X"_s},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.printers.join(u',').toStdString() + " saved " + c.saved.toStdString());
    SaveSetting(u"cfg"_s, u"printer_selected"_s, c.saved);
    installPrinters(c.printers, c.systemDefault);
    EXPECT_EQ(combo("Combo4")->currentText(), c.expected);
    EXPECT_EQ(CurrentPrinterName(), c.expected);
    EXPECT_EQ(savedPrinter(), c.expected);
    closeWindow();
  }
}

TEST_F(Form2Test, ChoosingAPrinterMakesItCurrentForTheWholeRun) {
  installPrinters({u"A"_s, u"B"_s, u"C"_s}, u"A"_s);
  EXPECT_EQ(combo("Combo4")->currentText(), u"A"_s);
  EXPECT_EQ(savedPrinter(), u"A"_s);
  choose("Combo4", u"C"_s);
  EXPECT_EQ(CurrentPrinterName(), u"C"_s);
  EXPECT_EQ(savedPrinter(), u"C"_s);

  // The saved name gives way to a current printer later in the list, so the choice must
  // outlive the window for it to come back.
  SaveSetting(u"cfg"_s, u"printer_selected"_s, u"A"_s);
  closeWindow();
  EXPECT_EQ(combo("Combo4")->currentText(), u"C"_s);
}

TEST_F(Form2Test, CerrarDestroysTheWindowAndTheNextStartsFromTheDefaults) {
  installPrinters({u"A"_s}, u"A"_s);
  auto listing = listingOf({u"D-1 x"_s});
  QPointer<Form2> first = window();
  first->Abre(u"101010"_s, listing.get());
  EXPECT_TRUE(first->isVisible());
  choose("Combo3", u"12"_s);
  choose("Combo1", u"Horitzontal"_s);

  // Another "imprime" while open keeps the choices and takes the new tag.
  window()->Abre(u"111111"_s, listing.get());
  EXPECT_EQ(window(), first.data());
  EXPECT_EQ(window()->indicereport(), u"111111"_s);
  EXPECT_EQ(combo("Combo3")->currentText(), u"12"_s);

  press("Command2");
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(first.isNull());
  EXPECT_NE(window(), nullptr);
  EXPECT_EQ(combo("Combo3")->currentText(), u"7"_s);
  EXPECT_EQ(combo("Combo1")->currentText(), u"Vertical"_s);
  EXPECT_TRUE(window()->indicereport().isEmpty());
}

TEST_F(Form2Test, WithoutPrintersImprimirDoesNothingAtAll) {
  SaveSetting(u"cfg"_s, u"printer_selected"_s, u"Old"_s);
  auto printers = installPrinters({}, QString());
  auto listing = listingOf({u"D-1 x"_s, u"F-1 y"_s});
  window()->Abre(u"101010"_s, listing.get());
  EXPECT_EQ(entriesOf(combo("Combo4")), QStringList{u"*|SIN IMPRESORA|*"_s});
  EXPECT_EQ(savedPrinter(), u"Old"_s);

  press("Command1");
  EXPECT_EQ(printers->opened, 0);
  EXPECT_TRUE(logLines.isEmpty());
  EXPECT_TRUE(messages.isEmpty());
}

// A listing not rendered yet and a listing window closed since: no document, but the log line.
TEST_F(Form2Test, EmptyOrClosedListingPrintsNothingButLogs) {
  auto printers = installPrinters({u"A"_s}, u"A"_s);
  auto listing = listingOf({});
  window()->Abre(u"101010"_s, listing.get());
  press("Command1");
  listing->addItems({u"D-1 x"_s, u"F-1 y"_s});
  listing.reset();
  press("Command1");

  EXPECT_EQ(logLines, QStringList(2, u"Imprimiendo listado..."_s));
  EXPECT_FALSE(QFile::exists(printers->pdfPath(u"A"_s)));
  EXPECT_TRUE(messages.isEmpty());
}

TEST_F(Form2Test, AFailingPrinterIsReportedAndTheWindowStaysUsable) {
  auto printers = installPrinters({u"A"_s, u"B"_s, u"C"_s}, u"A"_s);
  printers->refused.insert(u"A"_s, u"la impresora ya no está instalada"_s);
  printers->unwritable.append(u"B"_s);
  auto listing = listingOf({u"D-1 x"_s});
  window()->Abre(u"101010"_s, listing.get());

  press("Command1");
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].contains(u"«A»"_s)) << messages[0].toStdString();
  EXPECT_TRUE(messages[0].contains(u"la impresora ya no está instalada"_s));
  EXPECT_EQ(logLines, QStringList{u"Error al imprimir en A: la impresora ya no está instalada"_s});

  choose("Combo4", u"B"_s);
  press("Command1");
  ASSERT_EQ(messages.size(), 2);
  EXPECT_TRUE(messages[1].contains(u"no se pudo empezar el documento"_s));

  choose("Combo4", u"C"_s);
  printers->jobFailure = u"el sistema de impresión rechazó el trabajo (x)"_s;
  press("Command1");
  ASSERT_EQ(messages.size(), 3);
  EXPECT_TRUE(messages[2].contains(u"rechazó el trabajo"_s));

  printers->jobFailure.clear();
  press("Command1");
  EXPECT_EQ(messages.size(), 3);
  EXPECT_EQ(logLines.last(), u"Imprimiendo listado..."_s);
  EXPECT_FALSE(logLines.mid(0, 3).contains(u"Imprimiendo listado..."_s));
  EXPECT_TRUE(window()->isVisible());
}
