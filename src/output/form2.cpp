#include "output/form2.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QLabel>
#include <QListWidget>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>

#include "base/app_info.h"
#include "base/log.h"
#include "output/gui_listing_printer.h"
#include "output/gui_printers.h"
#include "output/print_choices.h"
#include "platform/gui_image_list.h"
#include "platform/gui_message_box.h"
#include "platform/gui_save_chooser.h"
#include "platform/settings_store.h"
#include "platform/twips.h"

using namespace Qt::StringLiterals;

namespace {

const QString kNoPrinter = u"*|SIN IMPRESORA|*"_s;
const QString kSettingsSection = u"cfg"_s;
const QString kPrinterKey = u"printer_selected"_s;
constexpr int kPrintIconIndex = 4;
constexpr int kFirstFontSize = 2;
constexpr int kLastFontSize = 16;

// Heights the layout leaves to each kind of control, in twips.
constexpr int kLabelHeight = 255;
constexpr int kComboHeight = 315;
constexpr int kButtonHeight = 360;
constexpr int kIconSize = 240;

template <typename Control>
Control* place(QWidget* parent, const QString& name, int left, int top, int width, int height) {
  auto* control = new Control(parent);
  control->setObjectName(name);
  control->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                       twipsToPixels(height));
  return control;
}

void placeLabel(QWidget* parent, const QString& name, const QString& text, int top) {
  place<QLabel>(parent, name, 90, top, 2040, kLabelHeight)->setText(text);
}

QComboBox* placeCombo(QWidget* parent, const QString& name, int left, int top, int width) {
  return place<QComboBox>(parent, name, left, top, width, kComboHeight);
}

QPushButton* placeButton(QWidget* parent, const QString& name, const QString& text, int top) {
  auto* button = place<QPushButton>(parent, name, 4905, top, 960, kButtonHeight);
  button->setText(text);
  return button;
}

// The documents folder when there is one, otherwise the home folder.
QString proposedPdfPath() {
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  const QString folder =
      !documents.isEmpty() && QDir(documents).exists() ? documents : QDir::homePath();
  return folder + u"/lista.pdf"_s;
}

}  // namespace

Form2* Form2::instance() {
  static QPointer<Form2> window;
  if (window.isNull()) {
    window = new Form2();
  }
  return window;
}

Form2::Form2()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(u"Form2"_s);
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(u"Configuración Impresora"_s);
  setFixedSize(twipsToPixels(5910), twipsToPixels(1725));
  if (const QScreen* display = screen()) {
    move(display->availableGeometry().center() - rect().center());
  }
  createControls();
  LlenaImpresoras();
  LlenaFuentes();
  LlenaTamanyos();
  LlenaPosiciones();
}

void Form2::createControls() {
  placeLabel(this, u"Label3"_s, u"Impresora"_s, 90);
  Combo4 = placeCombo(this, u"Combo4"_s, 2160, 90, 2625);
  placeLabel(this, u"Label1"_s, u"Posicion del papel"_s, 585);
  Combo1 = placeCombo(this, u"Combo1"_s, 2160, 585, 1725);
  placeLabel(this, u"Label2"_s, u"Fuente"_s, 945);
  Combo2 = placeCombo(this, u"Combo2"_s, 2160, 945, 1725);
  Combo3 = placeCombo(this, u"Combo3"_s, 3870, 945, 915);
  connect(placeButton(this, u"Command1"_s, u"Imprimir"_s, 900), &QPushButton::clicked, this,
          &Form2::Imprimir);
  connect(placeButton(this, u"Command2"_s, u"Cerrar"_s, 1305), &QPushButton::clicked, this,
          &QWidget::close);
  // Beside "Imprimir", in the row the pickers leave free: pages to a file, printer or none.
  auto* pdf = place<QPushButton>(this, u"Command3"_s, 2160, 1305, 2625, kButtonHeight);
  pdf->setText(u"Guardar como PDF..."_s);
  connect(pdf, &QPushButton::clicked, this, &Form2::GuardarPdf);
  auto* image = place<QLabel>(this, u"Image1"_s, 5625, 630, kIconSize, kIconSize);
  image->setPixmap(imageListIcon(kPrintIconIndex).pixmap(16, 16));
}

// The preselected printer becomes current and is saved at once, even if the user changes
// nothing.
void Form2::LlenaImpresoras() {
  const QStringList names = printerSource().printerNames();
  const QString saved = GetSetting(kSettingsSection, kPrinterKey, QString());
  Combo4->addItems(names);
  if (names.isEmpty()) {
    Combo4->addItem(kNoPrinter);
  }
  Combo4->setCurrentIndex(PreselectedPrinter(names, CurrentPrinterName(), saved));
  EligeImpresora();
  connect(Combo4, &QComboBox::currentIndexChanged, this, &Form2::EligeImpresora);
}

void Form2::LlenaFuentes() {
  const QStringList families = QFontDatabase::families();
  Combo2->addItems(families);
  Combo2->setCurrentIndex(Combo2->findText(ListingFontFamily(families)));
}

void Form2::LlenaTamanyos() {
  for (int size = kFirstFontSize; size <= kLastFontSize; ++size) {
    Combo3->addItem(QString::number(size));
  }
  Combo3->setCurrentText(u"7"_s);
}

void Form2::LlenaPosiciones() {
  Combo1->addItems({u"Horitzontal"_s, u"Vertical"_s});
  Combo1->setCurrentIndex(Combo1->count() - 1);
}

void Form2::Abre(const QString& indicereport, QListWidget* listing) {
  indicereport_ = indicereport;
  listing_ = listing;
  show();
  raise();
  activateWindow();
}

void Form2::EligeImpresora() {
  const QString name = Combo4->currentText();
  if (!printerSource().printerNames().contains(name)) {
    return;
  }
  setCurrentPrinterName(name);
  SaveSetting(kSettingsSection, kPrinterKey, name);
}

void Form2::Imprimir() {
  if (Combo4->itemText(0) == kNoPrinter) {
    return;
  }
  const QString printerName = CurrentPrinterName();
  const QString failure = printListing(printerName);
  if (failure == printCancelledText()) {
    WriteLog(u"Impresión del listado cancelada"_s);
    return;
  }
  if (!failure.isEmpty()) {
    reportFailure(printerName, failure);
    return;
  }
  WriteLog(u"Imprimiendo listado..."_s);
}

void Form2::GuardarPdf() {
  const QString path =
      ChooseSaveFile(this, {u"Guardar como PDF"_s, proposedPdfPath(), u"PDF (*.pdf)"_s, u"pdf"_s});
  if (path.isEmpty()) {
    return;
  }
  const QString failure = SaveEntriesAsPdf(QFile::encodeName(path), listingEntries(), chosenFont(),
                                           chosenOrientation());
  if (!failure.isEmpty()) {
    WriteLog(u"No se ha podido guardar el listado en %1: %2"_s.arg(path, failure));
    showMessage({this, AppTitle(),
                 u"No se ha podido guardar el listado en %1.\n\n%2"_s.arg(path, failure),
                 MessageIcon::Warning, MessageButtons::Ok});
    return;
  }
  WriteLog(u"Listado guardado como PDF en %1"_s.arg(path));
}

// Empty when the listing went to the printer (or there was nothing to print).
QString Form2::printListing(const QString& printerName) {
  QString failure;
  const std::unique_ptr<QPrinter> printer = printerSource().openPrinter(printerName, &failure);
  if (!printer) {
    return failure;
  }
  printer->setDocName(AppTitle());
  const QStringList entries = listingEntries();
  // A long listing shows the pages done and can be stopped; a short one prints before the
  // dialog's delay runs out, and shows nothing.
  // It has no parent: nothing the user does meanwhile can take it away while it is in use.
  QProgressDialog progress(u"Imprimiendo el listado..."_s, u"Cancelar"_s, 0, 0);
  progress.setObjectName(u"prgImpresion"_s);
  progress.setWindowTitle(AppTitle());
  progress.setWindowModality(Qt::ApplicationModal);
  progress.setValue(0);  // starts the dialog's delay
  failure = PrintEntries(*printer, entries, chosenFont(), chosenOrientation(), [&](int pages) {
    progress.setLabelText(u"Imprimiendo el listado: %1 páginas hechas"_s.arg(pages));
    QCoreApplication::processEvents();
    return !progress.wasCanceled();
  });
  if (failure.isEmpty() && !entries.isEmpty()) {
    failure = printerSource().jobError();
  }
  return failure;
}

void Form2::reportFailure(const QString& printerName, const QString& reason) {
  WriteLog(u"Error al imprimir en %1: %2"_s.arg(printerName, reason));
  MessageRequest request;
  request.parent = this;
  request.title = AppTitle();
  request.text = u"No se pudo imprimir el listado en «%1»: %2."_s.arg(printerName, reason);
  request.icon = MessageIcon::Warning;
  showMessage(request);
}

QFont Form2::chosenFont() const {
  QFont font(Combo2->currentText());
  font.setPointSizeF(Combo3->currentText().toFloat());
  return font;
}

// "Horitzontal", the first entry, is landscape; anything else prints portrait.
QPageLayout::Orientation Form2::chosenOrientation() const {
  return Combo1->currentIndex() == 0 ? QPageLayout::Landscape : QPageLayout::Portrait;
}

QStringList Form2::listingEntries() const {
  QStringList entries;
  if (listing_.isNull()) {
    return entries;
  }
  for (int row = 0; row < listing_->count(); ++row) {
    entries.append(listing_->item(row)->text());
  }
  return entries;
}
