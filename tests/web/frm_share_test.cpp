#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include "support/http_client.h"
#include "support/listing_db_fixture.h"
#include "support/test_env.h"
#include "web/frm_share.h"

using namespace Qt::StringLiterals;

namespace {

class FrmShareTest : public BdTest {
 protected:
  // Shares on a free port of this computer with the given key.
  void share(frm_share& window, const QString& key) {
    window.findChild<QSpinBox*>(u"txtPuerto"_s)->setValue(0);
    window.findChild<QLineEdit*>(u"txtClave"_s)->setText(key);
    clickShare(window);
  }

  // «Compartir», and the wait while the catalogue is opened off the window's thread.
  static void clickShare(frm_share& window) {
    window.findChild<QPushButton*>(u"cmdCompartir"_s)->click();
    const auto* status = window.findChild<QLabel*>(u"lblEstado"_s);
    QElapsedTimer waited;
    waited.start();
    while (status->text() == u"Abriendo el catálogo..."_s && waited.elapsed() < 10000) {
      QTest::qWait(20);
    }
  }

  static QUrl shownUrl(const frm_share& window) {
    return QUrl(window.findChild<QLabel*>(u"lblDireccion"_s)->text().section(u'"', 1, 1));
  }

  // What a phone's camera reads from the code shown.
  static QByteArray readQrCode(const frm_share& window) {
    const QString file = TestEnvironment::newTempDir() + u"/qr.png"_s;
    EXPECT_TRUE(window.findChild<QLabel*>(u"imgQR"_s)->pixmap().save(file));
    QProcess reader;
    reader.start(u"zbarimg"_s, {u"--raw"_s, u"-q"_s, file});
    EXPECT_TRUE(reader.waitForFinished(20000));
    return reader.readAllStandardOutput().trimmed();
  }
};

}  // namespace

TEST_F(FrmShareTest, SharesWhileAskedWithTheAddressAsLinkAndCodeAndCountsWhatItAnswers) {
  frm_share window;
  share(window, u"clave-de-prueba"_s);
  ASSERT_TRUE(window.isSharing())
      << window.findChild<QLabel*>(u"lblEstado"_s)->text().toStdString();
  const QUrl url = shownUrl(window);
  EXPECT_EQ(url.host(), u"127.0.0.1"_s);
  EXPECT_EQ(url.query(), u"clave=clave-de-prueba"_s);
  EXPECT_EQ(readQrCode(window), url.toEncoded());

  const auto port = static_cast<quint16>(url.port());
  EXPECT_EQ(httpExchange(port, httpRequest("GET", "/?clave=clave-de-prueba", port)).status, 303);
  QElapsedTimer waited;
  waited.start();
  const auto* served = window.findChild<QLabel*>(u"lblPeticiones"_s);
  while (served->text() != u"Peticiones atendidas: 1"_s && waited.elapsed() < 5000) {
    QTest::qWait(50);
  }
  EXPECT_EQ(served->text(), u"Peticiones atendidas: 1"_s);

  window.findChild<QPushButton*>(u"cmdDejar"_s)->click();
  EXPECT_FALSE(window.isSharing());
  EXPECT_EQ(httpExchange(port, httpRequest("GET", "/", port)).status, 0);
}

TEST_F(FrmShareTest, APortAlreadyTakenIsSaidInTheWindow) {
  frm_share first;
  share(first, {});
  ASSERT_TRUE(first.isSharing());
  frm_share second;
  second.findChild<QLineEdit*>(u"txtClave"_s)->clear();
  second.findChild<QSpinBox*>(u"txtPuerto"_s)->setValue(shownUrl(first).port());
  clickShare(second);
  EXPECT_FALSE(second.isSharing());
  EXPECT_FALSE(second.findChild<QLabel*>(u"lblEstado"_s)->text().isEmpty());
}
