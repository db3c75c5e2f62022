#include "session/frm_options.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include "platform/gui_window_placement.h"

using namespace Qt::StringLiterals;

namespace {

void selectData(QComboBox& combo, const QString& key) {
  combo.setCurrentIndex(std::max(0, combo.findData(key)));
}

}  // namespace

frm_options* frm_options::showInstance(QWidget* parent) {
  static QPointer<frm_options> instance;
  if (!instance) {
    instance = new frm_options(parent);
    // Centred at the size it shows with: a window not yet shown has none of its own.
    instance->adjustSize();
    centreOverWindow(instance, parent);
  }
  instance->showOptions(LoadProgramOptions());
  instance->show();
  instance->raise();
  instance->activateWindow();
  return instance;
}

frm_options::frm_options(QWidget* parent) : QWidget(parent, Qt::Dialog) {
  setObjectName(u"frm_options"_s);
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(u"Opciones"_s);
  auto* layout = new QGridLayout(this);
  m_tags = addChoice(u"Combo1"_s, u"Etiquetas:"_s, 0);
  m_tags->addItem(u"Sólo ID3v1"_s, tagSourceKey(TagSource::Id3v1));
  m_tags->addItem(u"ID3v2 y, si falta, ID3v1"_s, tagSourceKey(TagSource::Id3v2ThenId3v1));
  m_tags->addItem(u"ID3v1 y, si falta, ID3v2"_s, tagSourceKey(TagSource::Id3v1ThenId3v2));
  m_codePage = addChoice(u"Combo2"_s, u"Página de códigos de ID3v1:"_s, 1);
  for (const CodePage page : kAllCodePages) {
    m_codePage->addItem(codePageName(page), codePageName(page));
  }
  m_encoding = addChoice(u"Combo3"_s, u"Codificación de las exportaciones:"_s, 2);
  m_encoding->addItem(u"Windows-1252"_s, exportEncodingKey(ExportEncoding::Windows1252));
  m_encoding->addItem(u"UTF-8"_s, exportEncodingKey(ExportEncoding::Utf8));
  m_limits = addChoice(u"Combo4"_s, u"Tamaño de los listados:"_s, 3);
  m_limits->addItem(u"Límites clásicos (500 directorios con MP3, 1000 archivos)"_s,
                    listingLimitsKey(ListingLimits::Classic));
  m_limits->addItem(u"Sin límite"_s, listingLimitsKey(ListingLimits::None));
  m_csvSeparator = addChoice(u"Combo6"_s, u"Separador de las exportaciones CSV:"_s, 6);
  m_csvSeparator->addItem(u"Coma (,)"_s, csvSeparatorKey(CsvSeparator::Comma));
  m_csvSeparator->addItem(u"Punto y coma (;)"_s, csvSeparatorKey(CsvSeparator::Semicolon));
  m_audioFiles = addChoice(u"Combo5"_s, u"Archivos que se listan:"_s, 4);
  m_audioFiles->addItem(u"Sólo MP3"_s, audioFilesKey(AudioFiles::Mp3));
  m_audioFiles->addItem(u"Todo el audio"_s, audioFilesKey(AudioFiles::All));
  m_properties = new QCheckBox(u"Leer duración y calidad"_s);
  m_properties->setObjectName(u"Check1"_s);
  m_properties->setToolTip(
      u"Leer la duración, la tasa de bits, la frecuencia y el tamaño de cada archivo"_s);
  layout->addWidget(m_properties, 5, 1);

  auto* ok = new QPushButton(u"Aceptar"_s);
  ok->setObjectName(u"Command1"_s);
  ok->setDefault(true);
  ok->setToolTip(u"Guardar las opciones; el próximo escaneo y la próxima exportación las siguen"_s);
  auto* cancel = new QPushButton(u"Cancelar"_s);
  cancel->setObjectName(u"Command2"_s);
  cancel->setToolTip(u"Cerrar sin guardar los cambios"_s);
  layout->addWidget(ok, 7, 0);
  layout->addWidget(cancel, 7, 1);
  connect(ok, &QPushButton::clicked, this, &frm_options::accept);
  connect(cancel, &QPushButton::clicked, this, &QWidget::close);
}

QComboBox* frm_options::addChoice(const QString& name, const QString& caption, int row) {
  auto* layout = static_cast<QGridLayout*>(this->layout());
  auto* label = new QLabel(caption);
  label->setObjectName(u"Label%1"_s.arg(row + 1));
  auto* combo = new QComboBox;
  combo->setObjectName(name);
  label->setBuddy(combo);
  layout->addWidget(label, row, 0);
  layout->addWidget(combo, row, 1);
  return combo;
}

void frm_options::showOptions(const ProgramOptions& options) {
  const QString source = tagSourceKey(options.tags.source);
  // Only the command line offers ID3v2 alone; a value saved by hand still shows as it is.
  if (m_tags->findData(source) < 0) {
    m_tags->addItem(u"Sólo ID3v2"_s, source);
  }
  selectData(*m_tags, source);
  selectData(*m_codePage, codePageName(options.tags.id3v1CodePage));
  selectData(*m_encoding, exportEncodingKey(options.exportEncoding));
  selectData(*m_audioFiles, audioFilesKey(options.tags.files));
  m_properties->setChecked(options.tags.properties);
  selectData(*m_limits, listingLimitsKey(options.limits));
  selectData(*m_csvSeparator, csvSeparatorKey(options.csvSeparator));
}

ProgramOptions frm_options::chosen() const {
  ProgramOptions options;
  options.tags.source =
      tagSourceFromKey(m_tags->currentData().toString()).value_or(TagSource::Id3v1);
  options.tags.id3v1CodePage =
      codePageFromName(m_codePage->currentData().toString()).value_or(CodePage::Windows1252);
  options.exportEncoding = exportEncodingFromKey(m_encoding->currentData().toString())
                               .value_or(ExportEncoding::Windows1252);
  options.tags.files =
      audioFilesFromKey(m_audioFiles->currentData().toString()).value_or(AudioFiles::Mp3);
  options.tags.properties = m_properties->isChecked();
  options.limits =
      listingLimitsFromKey(m_limits->currentData().toString()).value_or(ListingLimits::Classic);
  options.csvSeparator =
      csvSeparatorFromKey(m_csvSeparator->currentData().toString()).value_or(CsvSeparator::Comma);
  return options;
}

void frm_options::accept() {
  SaveProgramOptions(chosen());
  close();
}
