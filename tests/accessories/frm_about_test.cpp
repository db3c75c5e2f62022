#include "accessories/frm_about.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "base/app_info.h"
#include "base/loaded_forms.h"
#include "platform/desktop_opener.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

class FrmAboutTest : public testing::Test {
 protected:
  void SetUp() override {
    setDesktopOpenHandler([this](const QString& target) {
      opened.append(target);
      return true;
    });
    about = frm_about::showInstance();
  }
  void TearDown() override { delete about; }

  QLabel* label(const QString& name) const { return about->findChild<QLabel*>(name); }
  void click(const QString& name) { QTest::mouseClick(label(name), Qt::LeftButton); }

  QPointer<frm_about> about;
  QStringList opened;
};

}  // namespace

TEST_F(FrmAboutTest, CaptionAndFirstLineShowTheVersionText) {
  EXPECT_EQ(about->windowTitle(), VersionText());
  EXPECT_NE(VersionText(), AppTitle());
  const QString text = label(u"Label1"_s)->text();
  EXPECT_TRUE(text.startsWith(VersionText() + u"\r\n\r\n"_s)) << text.toStdString();
  EXPECT_GT(text.split(u"\r\n"_s).size(), 3);
}

TEST_F(FrmAboutTest, IsAFixedSizeToolWindowOfItsOwn) {
  EXPECT_EQ(about->windowType(), Qt::Tool);
  EXPECT_FALSE(about->windowFlags() & Qt::WindowMinMaxButtonsHint);
  EXPECT_EQ(about->minimumSize(), QSize(419, 286));
  EXPECT_EQ(about->maximumSize(), QSize(419, 286));
}

TEST_F(FrmAboutTest, LinksOpenWhatTheyShowAndTheMailLinkAddsTheSubject) {
  click(u"Label3"_s);
  click(u"Label4"_s);
  click(u"Label5"_s);
  const QString mail = label(u"Label5"_s)->text();
  EXPECT_TRUE(mail.startsWith(u"mailto:"_s) && mail.endsWith(u"@example.org"_s))
      << mail.toStdString();
  EXPECT_EQ(opened, QStringList({label(u"Label3"_s)->text(), label(u"Label4"_s)->text(),
                                 mail + u"?subject=mensaje enviado desde Quillet v.0.1.0"_s}));
  EXPECT_TRUE(opened[0].startsWith(u"https://example.org/"_s));
  EXPECT_NE(label(u"Label3"_s)->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(FrmAboutTest, OpeningTwiceShowsTheSameWindow) {
  EXPECT_EQ(frm_about::showInstance(), about);
  int boxes = 0;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    boxes += qobject_cast<frm_about*>(w) ? 1 : 0;
  }
  EXPECT_EQ(boxes, 1);
  EXPECT_EQ(loadedFormNames().count(u"frm_about"_s), 1);
}

TEST_F(FrmAboutTest, OkDestroysItAndTheNextOpeningBuildsItAgain) {
  QTest::mouseClick(about->findChild<QPushButton*>(u"Command1"_s), Qt::LeftButton);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(about.isNull());
  EXPECT_FALSE(loadedFormNames().contains(u"frm_about"_s));
  about = frm_about::showInstance();
  EXPECT_TRUE(about->isVisible());
  EXPECT_TRUE(label(u"Label1"_s)->text().startsWith(VersionText()));
}

TEST_F(FrmAboutTest, CreditTextSaysWhatTheProgramDoesNowAndFitsItsLabel) {
  const QLabel* credits = label(u"Label1"_s);
  const QString text = credits->text();
  for (const QString& feature :
       {u"ID3v2"_s, u"página de códigos"_s, u"busca"_s, u"duplicados"_s, u"Opciones..."_s,
        u"línea de órdenes"_s, u"PDF"_s, u"csv"_s, u"estadísticas"_s}) {
    EXPECT_TRUE(text.contains(feature)) << feature.toStdString();
  }
  EXPECT_FALSE(text.contains(u"la etiqueta ID3v1 de cada"_s));  // an older program's claim
  const QRect needed = credits->fontMetrics().boundingRect(credits->rect(), Qt::AlignLeft, text);
  EXPECT_LE(needed.width(), credits->width());
  EXPECT_LE(needed.height(), credits->height());
}
