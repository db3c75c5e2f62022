#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

#include "platform/gui_folder_chooser.h"
#include "platform/gui_message_box.h"
#include "platform/qt_translations.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

class SpanishDialogs : public testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(installSpanishQtTranslations(*qApp)); }
};

// Points HOME at a temporary folder for one test; the chooser starts from there.
class HomeFolder {
 public:
  HomeFolder() : saved_(qgetenv("HOME")), path_(TestEnvironment::newTempDir()) {
    qputenv("HOME", QFile::encodeName(path_));
  }
  ~HomeFolder() { qputenv("HOME", saved_); }
  HomeFolder(const HomeFolder&) = delete;
  HomeFolder& operator=(const HomeFolder&) = delete;
  const QString& path() const { return path_; }

 private:
  QByteArray saved_;
  QString path_;
};

}  // namespace

TEST_F(SpanishDialogs, QuestionBoxesAnswerSiOrNo) {
  const auto box = newMessageBox(
      {nullptr, u"Quillet"_s, u"¿Cargar?"_s, MessageIcon::Question, MessageButtons::YesNo});
  EXPECT_EQ(box->button(QMessageBox::Yes)->text(), u"&Sí"_s);
  EXPECT_EQ(box->button(QMessageBox::No)->text(), u"&No"_s);
  const auto notice = newMessageBox({nullptr, u"Quillet"_s, u"Hecho"_s});
  EXPECT_EQ(notice->button(QMessageBox::Ok)->text(), u"Aceptar"_s);
}

TEST_F(SpanishDialogs, FolderChooserSpeaksSpanish) {
  const auto chooser = newFolderChooser(nullptr, u"Selecciona la ruta inicial "_s);
  EXPECT_EQ(chooser->windowTitle(), u"Selecciona la ruta inicial "_s);
  EXPECT_EQ(chooser->labelText(QFileDialog::LookIn), u"Ver en:"_s);
  EXPECT_EQ(chooser->labelText(QFileDialog::FileName), u"Directorio:"_s);
  EXPECT_EQ(chooser->labelText(QFileDialog::FileType), u"Ficheros de tipo:"_s);
  EXPECT_EQ(chooser->labelText(QFileDialog::Accept), u"&Seleccionar"_s);
  EXPECT_EQ(chooser->labelText(QFileDialog::Reject), u"Cancelar"_s);
}

TEST(FolderChooserStart, DesktopFolderWhenThereIsOneElseHome) {
  const HomeFolder home;
  EXPECT_EQ(folderChooserStart(), home.path());
  EXPECT_EQ(newFolderChooser(nullptr, u"x"_s)->directory().absolutePath(), home.path());
  ASSERT_TRUE(QDir(home.path()).mkdir(u"Desktop"_s));
  EXPECT_EQ(folderChooserStart(), home.path() + u"/Desktop"_s);
}
