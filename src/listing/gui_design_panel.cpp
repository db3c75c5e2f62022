#include "listing/gui_design_panel.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "accessories/shell_open.h"
#include "listing/gui_listing_look.h"
#include "session/program_options.h"

using namespace Qt::StringLiterals;

namespace {

// Every placeholder the file design knows; the token fills the first seven characters.
const QStringList& filePlaceholders() {
  static const QStringList entries = {
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
  return entries;
}

// A directory line knows only its own number and name, the tab and the line feed.
QStringList directoryPlaceholders() {
  const QStringList& all = filePlaceholders();
  return {all[0], all[1], all[5], all[6]};
}

// The technical fields' placeholders, offered while "Leer duración y calidad" is on.
const QStringList kTechnicalFileEntries = {
    u"{3Dur} Duración (m:ss)"_s,
    u"{3Kbp} Tasa de bits (kbit/s)"_s,
    u"{3Khz} Frecuencia de muestreo (kHz)"_s,
    u"{3Tam} Tamaño (MB)"_s,
};
const QStringList kTechnicalDirectoryEntries = {
    u"{DDur} Duración del directorio"_s,
    u"{DNum} Número de archivos del directorio"_s,
};

void fillPicker(QComboBox& picker, const QStringList& entries) {
  picker.clear();
  picker.addItems(entries);
  picker.setCurrentIndex(-1);
}

constexpr int kTokenLength = 7;

}  // namespace

DesignPanel::DesignPanel(QWidget* parent) : QFrame(parent) {
  setObjectName(u"Frame1"_s);
  fillBackground(*this, barGrey());
  setFont(smallFont());

  addLabel(u"Label1"_s, u"Diseño de  Directorio"_s, twipRect(90, 180, 1410, 285));
  dirDesign_ = addDesignField(u"Text2"_s, twipRect(1530, 180, 3615, 285));
  dirPicker_ = addPicker(u"Combo2"_s, twipRect(5175, 180, 2400, 285));
  addInsertButton(u"Command4"_s, twipRect(7605, 180, 195, 285), dirPicker_, dirDesign_);

  addLabel(u"Label2"_s, u"Diseño de Archivo"_s, twipRect(90, 495, 1410, 285));
  fileDesign_ = addDesignField(u"Text1"_s, twipRect(1530, 495, 3615, 285));
  filePicker_ = addPicker(u"Combo1"_s, twipRect(5175, 495, 2400, 285));
  addInsertButton(u"Command1"_s, twipRect(7605, 495, 195, 285), filePicker_, fileDesign_);

  addReferenceButton();
  // Said once for both pickers, while the technical fields' placeholders are left out of them.
  technicalHint_ = new QLabel(
      u"Active \"Leer duración y calidad\" en Opciones para ver duración y calidad"_s, this);
  technicalHint_->setObjectName(u"Label3"_s);
  technicalHint_->setWordWrap(true);
  // A hint, not a control: a press on it drags the panel as one on its background does.
  technicalHint_->setAttribute(Qt::WA_TransparentForMouseEvents);
  technicalHint_->setGeometry(twipRect(1530, 810, 6270, 330));
}

LineDesigns DesignPanel::designs() const {
  return {dirDesign_->text(), fileDesign_->text()};
}

void DesignPanel::setDesigns(const LineDesigns& designs) {
  dirDesign_->setText(designs.directory);
  fileDesign_->setText(designs.file);
}

void DesignPanel::fillPickers() {
  const bool technical = LoadProgramOptions().tags.properties;
  fillPicker(*filePicker_,
             technical ? filePlaceholders() + kTechnicalFileEntries : filePlaceholders());
  fillPicker(*dirPicker_, technical ? directoryPlaceholders() + kTechnicalDirectoryEntries
                                    : directoryPlaceholders());
  technicalHint_->setVisible(!technical);
}

QLineEdit* DesignPanel::addDesignField(const QString& name, const QRect& geometry) {
  auto* field = new QLineEdit(this);
  field->setObjectName(name);
  field->setGeometry(geometry);
  return field;
}

QComboBox* DesignPanel::addPicker(const QString& name, const QRect& geometry) {
  auto* picker = new QComboBox(this);
  picker->setObjectName(name);
  picker->setEditable(false);
  picker->setGeometry(geometry);
  return picker;
}

void DesignPanel::addLabel(const QString& name, const QString& text, const QRect& geometry) {
  auto* label = new QLabel(text, this);
  label->setObjectName(name);
  label->setGeometry(geometry);
}

void DesignPanel::addInsertButton(const QString& name, const QRect& geometry, QComboBox* picker,
                                  QLineEdit* design) {
  auto* button = new QPushButton(u"+"_s, this);
  button->setObjectName(name);
  button->setGeometry(geometry);
  connect(button, &QPushButton::clicked, this,
          [picker, design] { insertPlaceholder(*picker, *design); });
}

void DesignPanel::addReferenceButton() {
  auto* button = new QPushButton(u"Referencia"_s, this);
  button->setObjectName(u"Command6"_s);
  button->setGeometry(twipRect(45, 855, 960, 240));
  connect(button, &QPushButton::clicked, this, [] { OpenReference(); });
}

void insertPlaceholder(const QComboBox& picker, QLineEdit& design) {
  const QString token = picker.currentText().left(kTokenLength).trimmed();
  if (token.isEmpty()) {
    return;
  }
  // A selection is kept, not replaced (moving the caret drops it): the token goes in front of
  // it. Inserting through the field keeps its undo history.
  const int pos = design.hasSelectedText() ? design.selectionStart() : design.cursorPosition();
  design.setCursorPosition(pos);
  design.insert(token);
}
