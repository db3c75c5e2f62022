#include "output/frm_templates.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "base/app_info.h"
#include "output/template_export.h"
#include "output/template_fields.h"
#include "platform/gui_message_box.h"
#include "platform/output_file.h"

using namespace Qt::StringLiterals;

namespace {

// The preview shows the start of a long export: enough to judge it, never a frozen window.
constexpr qsizetype kPreviewChars = 64 * 1024;

// Three files in two folders, one of them without tags, when no listing is at hand.
std::unique_ptr<ListingModel> sampleListing() {
  auto model = std::make_unique<ListingModel>();
  model->FinalName = model->RutaInicial = u"/música/Ejemplo"_s;
  model->FinalType = kMedioDirectorio;
  model->Directorios[1] = {u"/música/Ejemplo/Primer disco"_s, 1, 2};
  model->Directorios[2] = {u"/música/Ejemplo/Segundo disco"_s, 3, 3};
  model->Canciones[1] = {u"Primer disco"_s, u"Artista"_s,     {},
                         u"Rock"_s,         u"Canción uno"_s, u"1"_s,
                         u"1999"_s,         u"01 uno.mp3"_s,  u"1"_s};
  model->Canciones[2] = {{}, {}, {}, {}, {}, u"0"_s, {}, u"02 sin etiquetas.mp3"_s, u"2"_s};
  model->Canciones[3] = {
      u"Segundo disco"_s, u"Otra artista"_s, {},    {}, u"Canción tres"_s, u"1"_s,
      u"2001"_s,          u"01 tres.mp3"_s,  u"1"_s};
  model->technical.present = true;
  model->technical.set(1, {215000, 192, 44100, 2, 5160000});
  model->technical.set(2, {187500, 128, 44100, 2, 3000000});
  model->technical.set(3, {242000, 256, 48000, 2, 7744000});
  model->NumDirectoriosMP3 = model->DirActualNum = 2;
  model->NumCancionesMP3 = 3;
  return model;
}

// The preview's own copy of a listing: the window it came from may close first.
std::unique_ptr<ListingModel> previewCopy(const ListingModel& listing) {
  auto copy = std::make_unique<ListingModel>();
  copy->FinalName = listing.FinalName;
  copy->FinalType = listing.FinalType;
  copy->RutaInicial = listing.RutaInicial;
  copy->NumDirectoriosMP3 = listing.NumDirectoriosMP3;
  copy->NumCancionesMP3 = listing.NumCancionesMP3;
  copy->DirActualNum = listing.DirActualNum;
  copy->Directorios = listing.Directorios;
  copy->Canciones = listing.Canciones;
  copy->technical = listing.technical;
  return copy;
}

QTreeWidget* fieldReference(QWidget* parent) {
  auto* tree = new QTreeWidget(parent);
  tree->setObjectName(u"referencia"_s);
  tree->setHeaderLabels({u"Campo"_s, u"Nivel"_s, u"Qué es"_s});
  tree->setRootIsDecorated(false);
  for (const TemplateFieldInfo& field : templateFieldReference()) {
    new QTreeWidgetItem(
        tree, {u"{{%1}}"_s.arg(field.name),
               field.technical ? field.level + u" (técnico)"_s : field.level, field.meaning});
  }
  tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  return tree;
}

// A file name for a template of that name in the user's folder, not yet taken.
QString freeFileFor(const QString& name) {
  QString stem = name;
  stem.replace(QRegularExpression(u"[^\\w\\- ]"_s), u"_"_s);
  const QString dir = userTemplatesDir();
  QString path = dir + u'/' + stem + QString::fromUtf16(kTemplateFileSuffix);
  for (int n = 2; QFile::exists(path); ++n) {
    path = dir + u'/' + stem + u" %1"_s.arg(n) + QString::fromUtf16(kTemplateFileSuffix);
  }
  return path;
}

QString freeName(const std::vector<TemplateEntry>& entries, const QString& wanted) {
  QString name = wanted;
  const auto taken = [&entries](const QString& candidate) {
    return std::any_of(entries.begin(), entries.end(),
                       [&](const TemplateEntry& entry) { return entry.name == candidate; });
  };
  for (int n = 2; taken(name); ++n) {
    name = u"%1 %2"_s.arg(wanted).arg(n);
  }
  return name;
}

}  // namespace

frm_templates* frm_templates::open(QWidget* parent, const ListingModel* listing,
                                   const LineDesigns& designs) {
  auto* window =
      new frm_templates(parent, listing ? previewCopy(*listing) : sampleListing(), designs);
  window->show();
  return window;
}

frm_templates::frm_templates(QWidget* parent, std::unique_ptr<ListingModel> listing,
                             const LineDesigns& designs)
    : QWidget(parent, Qt::Window), listing_(std::move(listing)), designs_(designs) {
  setObjectName(u"frm_templates"_s);
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(u"Plantillas de exportación"_s);
  buildLayout();
  reloadList(QString());
  resize(1000, 700);
}

void frm_templates::buildLayout() {
  list_ = new QListWidget(this);
  list_->setObjectName(u"plantillas"_s);
  auto* fresh = new QPushButton(u"Nueva"_s, this);
  copy_ = new QPushButton(u"Copiar para editar"_s, this);
  delete_ = new QPushButton(u"Borrar"_s, this);
  fresh->setToolTip(u"Una plantilla propia vacía"_s);
  copy_->setToolTip(u"Una copia propia de la plantilla elegida, que se puede modificar"_s);
  delete_->setToolTip(u"Borra la plantilla propia elegida"_s);
  auto* left = new QVBoxLayout;
  left->addWidget(list_);
  for (QPushButton* button : {fresh, copy_, delete_}) {
    left->addWidget(button);
  }
  auto* columns = new QHBoxLayout(this);
  columns->addLayout(left, 1);
  columns->addWidget(buildEditor(), 3);
  connect(list_, &QListWidget::currentRowChanged, this, &frm_templates::showEntry);
  connect(fresh, &QPushButton::clicked, this, &frm_templates::newTemplate);
  connect(copy_, &QPushButton::clicked, this, &frm_templates::copyForEditing);
  connect(delete_, &QPushButton::clicked, this, &frm_templates::deleteSelected);
}

QWidget* frm_templates::buildEditor() {
  auto* editor = new QWidget(this);
  name_ = new QLineEdit(editor);
  kind_ = new QComboBox(editor);
  for (const TemplateKind kind : {TemplateKind::Html, TemplateKind::Xml, TemplateKind::Json,
                                  TemplateKind::M3u, TemplateKind::Text}) {
    kind_->addItem(templateKindKey(kind), int(kind));
  }
  extension_ = new QLineEdit(editor);
  encoding_ = new QComboBox(editor);
  encoding_->addItems({u"UTF-8"_s, u"La de Opciones"_s});
  auto* heading = new QFormLayout;
  heading->addRow(u"Nombre:"_s, name_);
  heading->addRow(u"Salida:"_s, kind_);
  heading->addRow(u"Extensión:"_s, extension_);
  heading->addRow(u"Codificación:"_s, encoding_);
  auto* tabs = new QTabWidget(editor);
  for (int i = 0; i < kTemplatePartCount; ++i) {
    parts_[std::size_t(i)] = new QPlainTextEdit(tabs);
    parts_[std::size_t(i)]->setObjectName(templatePartKey(TemplatePart(i)));
    tabs->addTab(parts_[std::size_t(i)], templatePartKey(TemplatePart(i)));
    connect(parts_[std::size_t(i)], &QPlainTextEdit::textChanged, this,
            &frm_templates::refreshPreview);
  }
  message_ = new QLabel(editor);
  message_->setWordWrap(true);
  preview_ = new QPlainTextEdit(editor);
  preview_->setReadOnly(true);
  auto* below = new QSplitter(editor);
  below->addWidget(preview_);
  below->addWidget(fieldReference(editor));
  save_ = new QPushButton(u"Guardar"_s, editor);
  save_->setToolTip(u"Guarda la plantilla propia si no tiene errores"_s);
  auto* close = new QPushButton(u"Cerrar"_s, editor);
  close->setToolTip(u"Cierra la ventana; lo no guardado se pierde"_s);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(save_);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(editor);
  layout->addLayout(heading);
  layout->addWidget(tabs, 2);
  layout->addWidget(message_);
  layout->addWidget(below, 2);
  layout->addLayout(buttons);
  connect(kind_, &QComboBox::currentIndexChanged, this, &frm_templates::refreshPreview);
  connect(save_, &QPushButton::clicked, this, &frm_templates::saveEdited);
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  return editor;
}

void frm_templates::reloadList(const QString& select) {
  entries_ = availableTemplates();
  const QSignalBlocker blocker(list_);
  list_->clear();
  int row = 0;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    list_->addItem(entries_[i].preset ? entries_[i].name + u" (predefinida)"_s : entries_[i].name);
    if (entries_[i].name == select) {
      row = int(i);
    }
  }
  list_->setCurrentRow(row);
  showEntry(row);
}

void frm_templates::showEntry(int row) {
  if (row < 0 || std::size_t(row) >= entries_.size()) {
    return;
  }
  const TemplateEntry& entry = entries_[std::size_t(row)];
  const ExportTemplate& tmpl = entry.tmpl;
  loading_ = true;
  name_->setText(tmpl.name);
  kind_->setCurrentIndex(int(tmpl.kind));
  extension_->setText(tmpl.extension);
  encoding_->setCurrentIndex(tmpl.optionsEncoding ? 1 : 0);
  for (int i = 0; i < kTemplatePartCount; ++i) {
    parts_[std::size_t(i)]->setPlainText(tmpl.parts[std::size_t(i)]);
    parts_[std::size_t(i)]->setReadOnly(entry.preset);
  }
  for (QWidget* field : std::initializer_list<QWidget*>{name_, kind_, extension_, encoding_}) {
    field->setEnabled(!entry.preset);
  }
  save_->setEnabled(!entry.preset);
  delete_->setEnabled(!entry.preset);
  loading_ = false;
  refreshPreview();
}

ExportTemplate frm_templates::edited() const {
  ExportTemplate tmpl;
  tmpl.name = name_->text().trimmed();
  tmpl.kind = TemplateKind(kind_->currentData().toInt());
  tmpl.extension = extension_->text().trimmed();
  tmpl.optionsEncoding = encoding_->currentIndex() == 1;
  for (int i = 0; i < kTemplatePartCount; ++i) {
    tmpl.parts[std::size_t(i)] = parts_[std::size_t(i)]->toPlainText();
  }
  return tmpl;
}

// Rendered at once: the preview is of a listing shown in a window, a few milliseconds' work.
void frm_templates::refreshPreview() {
  if (loading_) {
    return;
  }
  QString error;
  QStringList warnings;
  const std::optional<CompiledTemplate> compiled =
      CompiledTemplate::compile(edited(), &findTemplate, error, warnings);
  const bool preset = list_->currentRow() >= 0 && entries_[std::size_t(list_->currentRow())].preset;
  QStringList notes = compiled ? warnings : QStringList{error};
  if (preset) {
    notes.append(
        u"Las plantillas predefinidas no se modifican: «Copiar para editar» hace una "
        u"copia propia."_s);
  }
  message_->setText(notes.join(u'\n'));
  if (compiled) {
    const QByteArray bytes =
        templateListingBytes(*compiled, *listing_, {listing_->FinalName, listing_->FinalType}, 0,
                             designs_, FilesDir(), ExportEncoding::Utf8);
    preview_->setPlainText(QString::fromUtf8(bytes.left(kPreviewChars)));
  }
}

QString frm_templates::saveAs(const ExportTemplate& tmpl, const QString& path) {
  QDir().mkpath(userTemplatesDir());
  return writeOutputFile(QFile::encodeName(path), exportTemplateText(tmpl).toUtf8());
}

void frm_templates::saveEdited() {
  const int row = list_->currentRow();
  if (row < 0 || entries_[std::size_t(row)].preset) {
    return;
  }
  const ExportTemplate tmpl = edited();
  QString error;
  QStringList warnings;
  if (tmpl.name.isEmpty()) {
    error = u"La plantilla necesita un nombre."_s;
  } else if (!CompiledTemplate::compile(tmpl, &findTemplate, error, warnings)) {
    error = u"No se guarda: "_s + error;
  } else {
    error = saveAs(tmpl, entries_[std::size_t(row)].path);
  }
  if (!error.isEmpty()) {
    message_->setText(error);
    return;
  }
  reloadList(tmpl.name);
}

void frm_templates::copyForEditing() {
  ExportTemplate tmpl = edited();
  tmpl.name = freeName(entries_, tmpl.name + u" (copia)"_s);
  if (const QString error = saveAs(tmpl, freeFileFor(tmpl.name)); !error.isEmpty()) {
    message_->setText(error);
    return;
  }
  reloadList(tmpl.name);
}

void frm_templates::newTemplate() {
  ExportTemplate tmpl;
  tmpl.name = freeName(entries_, u"Nueva plantilla"_s);
  tmpl.part(TemplatePart::Archivo) = u"{{archivo_ruta}}\n"_s;
  if (const QString error = saveAs(tmpl, freeFileFor(tmpl.name)); !error.isEmpty()) {
    message_->setText(error);
    return;
  }
  reloadList(tmpl.name);
}

void frm_templates::deleteSelected() {
  const int row = list_->currentRow();
  if (row < 0 || entries_[std::size_t(row)].preset) {
    return;
  }
  const TemplateEntry entry = entries_[std::size_t(row)];
  if (showMessage({this, AppTitle(), u"¿Borrar la plantilla «%1»?"_s.arg(entry.name),
                   MessageIcon::Question, MessageButtons::YesNo}) != MessageAnswer::Yes) {
    return;
  }
  if (!QFile::remove(entry.path)) {
    message_->setText(u"No se puede borrar %1."_s.arg(entry.path));
    return;
  }
  reloadList(QString());
}

QString frm_templates::messageText() const {
  return message_->text();
}

QString frm_templates::previewText() const {
  return preview_->toPlainText();
}
