#include "output/gui_template_export.h"

#include <QFile>
#include <QFileInfo>
#include <QInputDialog>

#include "base/app_info.h"
#include "base/log.h"
#include "output/template_catalogue.h"
#include "output/template_library.h"
#include "platform/gui_message_box.h"
#include "platform/gui_save_chooser.h"
#include "platform/output_file.h"

using namespace Qt::StringLiterals;

namespace {

TemplateChooserAnswerer& chooserAnswerer() {
  static TemplateChooserAnswerer answerer;
  return answerer;
}

void tell(QWidget& owner, const QString& text, MessageIcon icon) {
  showMessage({&owner, AppTitle(), text, icon});
}

// The template compiled, its unknown fields told; nothing after telling why it cannot be used.
std::optional<CompiledTemplate> compiledFor(QWidget& owner, const QString& name) {
  QString error;
  QStringList warnings;
  std::optional<CompiledTemplate> compiled = compileTemplateNamed(name, error, warnings);
  if (!compiled) {
    tell(owner, u"La plantilla «%1» no se puede usar:\n%2"_s.arg(name, error),
         MessageIcon::Warning);
  } else if (!warnings.isEmpty()) {
    tell(owner, u"La plantilla «%1»:\n%2"_s.arg(name, warnings.join(u'\n')),
         MessageIcon::Information);
  }
  return compiled;
}

// The file the user names for the export, or empty text when they cancel.
QString chosenFile(QWidget& owner, const CompiledTemplate& tmpl, const QString& stem) {
  const QString extension = tmpl.source().extension;
  return ChooseSaveFile(&owner, {u"Exportar con la plantilla «%1»"_s.arg(tmpl.source().name),
                                 UserFile(stem + u'.' + extension),
                                 u"%1 (*.%2)"_s.arg(tmpl.source().name, extension), extension});
}

void writeChosen(QWidget& owner, const QString& path, const QByteArray& bytes) {
  if (const QString error = writeOutputFile(QFile::encodeName(path), bytes); !error.isEmpty()) {
    WriteLog(u"Error al exportar con plantilla: "_s + error);
    tell(owner, error, MessageIcon::Critical);
    return;
  }
  WriteLog(u"Exportado con plantilla a "_s + path);
}

}  // namespace

void setTemplateChooserAnswerer(TemplateChooserAnswerer answerer) {
  chooserAnswerer() = std::move(answerer);
}

std::optional<QString> chooseTemplate(QWidget* owner, const QString& title) {
  if (chooserAnswerer()) {
    return chooserAnswerer()(owner);
  }
  QStringList names;
  for (const TemplateEntry& entry : availableTemplates()) {
    names.append(entry.name);
  }
  bool ok = false;
  const QString name = QInputDialog::getItem(owner, title, u"Plantilla:"_s, names, 0, false, &ok);
  return ok && !name.isEmpty() ? std::optional(name) : std::nullopt;
}

namespace {

// The template and file the user chooses, or nothing once they cancel or the template is bad.
std::optional<std::pair<CompiledTemplate, QString>> chosenExport(QWidget& owner,
                                                                 const QString& title,
                                                                 const QString& stem) {
  const std::optional<QString> chosen = chooseTemplate(&owner, title);
  std::optional<CompiledTemplate> tmpl = chosen ? compiledFor(owner, *chosen) : std::nullopt;
  if (!tmpl) {
    return std::nullopt;
  }
  QString path = chosenFile(owner, *tmpl, stem);
  if (path.isEmpty()) {
    return std::nullopt;
  }
  return std::pair{std::move(*tmpl), std::move(path)};
}

}  // namespace

void exportListingWithTemplate(QWidget& owner, const ListingModel& model, const ListingName& name,
                               int number, const LineDesigns& designs,
                               ExportEncoding optionsEncoding) {
  if (const auto chosen = chosenExport(owner, u"Exportar con plantilla"_s, u"lista"_s)) {
    const auto& [tmpl, path] = *chosen;
    writeChosen(owner, path,
                templateListingBytes(tmpl, model, name, number, designs,
                                     QFileInfo(path).absolutePath(), optionsEncoding));
  }
}

void exportCatalogueWithTemplate(QWidget& owner, const LineDesigns& designs,
                                 ExportEncoding optionsEncoding) {
  const auto chosen = chosenExport(owner, u"Exportar catálogo"_s, u"catalogo"_s);
  if (!chosen) {
    return;
  }
  const auto& [tmpl, path] = *chosen;
  QString error;
  const std::optional<QByteArray> bytes = catalogueTemplateBytes(
      tmpl, CatalogueMedium::All, designs, QFileInfo(path).absolutePath(), optionsEncoding, error);
  if (!bytes) {
    tell(owner, error, MessageIcon::Critical);
    return;
  }
  writeChosen(owner, path, *bytes);
}
