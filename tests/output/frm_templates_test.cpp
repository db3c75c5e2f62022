#include "output/frm_templates.h"
#include "output/gui_template_export.h"

#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include "platform/gui_save_chooser.h"
#include "support/fixtures.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

QPushButton* button(QWidget& window, const QString& text) {
  for (QPushButton* candidate : window.findChildren<QPushButton*>()) {
    if (candidate->text() == text) {
      return candidate;
    }
  }
  return nullptr;
}

void choose(QWidget& window, const QString& startOfEntry) {
  auto* list = window.findChild<QListWidget*>(u"plantillas"_s);
  for (int row = 0; row < list->count(); ++row) {
    if (list->item(row)->text().startsWith(startOfEntry)) {
      list->setCurrentRow(row);
      return;
    }
  }
  ADD_FAILURE() << "no entry " << startOfEntry.toStdString();
}

}  // namespace

TEST(TemplatesWindow, APresetIsCopiedBeforeItIsEditedAndAnErrorIsNeverSaved) {
  frm_templates* window = frm_templates::open(nullptr, nullptr, {});
  choose(*window, u"XSPF (predefinida)"_s);
  auto* archivo = window->findChild<QPlainTextEdit*>(u"archivo"_s);
  EXPECT_TRUE(archivo->isReadOnly());
  EXPECT_TRUE(window->messageText().contains(u"Copiar para editar"_s));
  EXPECT_TRUE(window->previewText().contains(u"01%20uno.mp3"_s))
      << window->previewText().toStdString();

  button(*window, u"Copiar para editar"_s)->click();
  const QString copy = userTemplatesDir() + u"/XSPF _copia_.plantilla"_s;
  ASSERT_TRUE(QFile::exists(copy));
  EXPECT_FALSE(archivo->isReadOnly());
  const QByteArray saved = readFile(copy);

  archivo->setPlainText(u"{{#archivo_titulo}}\n"_s);
  EXPECT_TRUE(
      window->messageText().contains(u"línea 1, columna 1: falta cerrar {{#archivo_titulo}}"_s))
      << window->messageText().toStdString();
  button(*window, u"Guardar"_s)->click();
  EXPECT_EQ(readFile(copy), saved);

  archivo->setPlainText(u"<t>{{archivo_titulo}}</t>\n"_s);
  EXPECT_TRUE(window->previewText().contains(u"<t>Canción uno</t>"_s));
  button(*window, u"Guardar"_s)->click();
  EXPECT_TRUE(readFile(copy).contains("== archivo ==\n<t>{{archivo_titulo}}</t>\n"));
  window->close();
  QFile::remove(copy);
}

TEST(TemplatesWindow, ExportWithTemplateWritesTheChosenFile) {
  const QString path = TestEnvironment::newTempDir() + u"/lista.m3u8"_s;
  setTemplateChooserAnswerer([](QWidget*) { return std::optional(u"M3U8 (rutas absolutas)"_s); });
  setSaveChooserAnswerer([&](QWidget*, const SaveRequest&) { return path; });
  ListingModel model;
  model.Directorios[1] = {u"/m/d"_s, 1, 1};
  model.Canciones[1] = {{}, u"Ana"_s, {}, {}, u"Uno"_s, u"1"_s, {}, u"a.mp3"_s, u"1"_s};
  model.NumDirectoriosMP3 = model.DirActualNum = 1;
  model.NumCancionesMP3 = 1;
  QWidget owner;
  exportListingWithTemplate(owner, model, {u"/m"_s, kMedioDirectorio}, 0, {},
                            ExportEncoding::Windows1252);
  EXPECT_EQ(readFile(path), "#EXTM3U\n#EXTINF:-1,Ana - Uno\n/m/d/a.mp3\n");
  setTemplateChooserAnswerer({});
  setSaveChooserAnswerer({});
}
