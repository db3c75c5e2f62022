#include <QProcess>

#include <gtest/gtest.h>

#include "support/test_env.h"
#include "web/qr_code.h"

using namespace Qt::StringLiterals;

namespace {

// The code as a plain bitmap, four pixels a module, inside the quiet zone a reader needs.
QByteArray bitmapOf(const QrCode& qr) {
  constexpr int kScale = 4;
  constexpr int kQuiet = 4;
  const int side = (qr.width + 2 * kQuiet) * kScale;
  QByteArray pbm = "P1\n" + QByteArray::number(side) + ' ' + QByteArray::number(side) + '\n';
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      const int mx = x / kScale - kQuiet;
      const int my = y / kScale - kQuiet;
      const bool inside = mx >= 0 && my >= 0 && mx < qr.width && my < qr.width;
      pbm += inside && qr.isDark(mx, my) ? "1 " : "0 ";
    }
    pbm += '\n';
  }
  return pbm;
}

}  // namespace

TEST(QrCode, APhoneReadsBackTheAddressByteForByte) {
  const QString dir = TestEnvironment::newTempDir();
  for (const QByteArray& url :
       {QByteArray("http://127.0.0.1:8642/"),
        QByteArray("http://192.168.1.20:8642/?clave=Xy_9-aBcDeFgHiJkLmNoPqRsTuV"),
        QByteArray("http://[fe80::1]:8642/")}) {
    const QrCode qr = qrCodeOf(url);
    ASSERT_GE(qr.width, 21);
    writeFile(dir + u"/qr.pbm"_s, bitmapOf(qr));
    QProcess reader;
    reader.start(u"zbarimg"_s, {u"--raw"_s, u"-q"_s, dir + u"/qr.pbm"_s});
    ASSERT_TRUE(reader.waitForFinished(20000));
    EXPECT_EQ(reader.readAllStandardOutput().trimmed(), url);
  }
}
