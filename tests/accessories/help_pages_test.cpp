#include <QFile>
#include <QRegularExpression>

#include "accessories/shell_open.h"
#include "platform/desktop_opener.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

QString shippedPage(const QString& name) {
  return QString::fromUtf8(readFile(QStringLiteral(QUILLET_BIN_DIR) + u'/' + name));
}

}  // namespace

TEST(HelpPages, BuildShipsHistoryAndAReferenceRowWithExampleForEveryPlaceholder) {
  EXPECT_TRUE(shippedPage(u"history.html"_s).contains(u"Versión 0.1.0"_s));
  const QString page = shippedPage(u"reference.html"_s);
  const QStringList placeholders = {
      u"{#D}"_s,   u"{TD}"_s,   u"{#F}"_s,   u"{TF}"_s,   u"{OF}"_s,   u"{Tb}"_s,   u"{Lf}"_s,
      u"{3Alb}"_s, u"{3Art}"_s, u"{3Com}"_s, u"{3Gen}"_s, u"{3Tit}"_s, u"{3Tra}"_s, u"{3Yea}"_s,
      u"{3Dur}"_s, u"{3Kbp}"_s, u"{3Khz}"_s, u"{3Tam}"_s, u"{DDur}"_s, u"{DNum}"_s};
  for (const QString& placeholder : placeholders) {
    // The placeholder, what it stands for, both designs, and a non-empty example.
    const QRegularExpression row(u"<tr><td><code>"_s + QRegularExpression::escape(placeholder) +
                                 u"</code></td>(<td>[^<]*(<code>[^<]*</code>[^<]*)*</td>){3}"
                                 u"<td>[^<]*<code>[^<]+</code>.*</td></tr>"_s);
    EXPECT_TRUE(row.match(page).hasMatch()) << placeholder.toStdString();
  }
}

TEST(HelpPages, HistoryDescribesWhatTheProgramDoesNow) {
  const QString page = shippedPage(u"history.html"_s);
  const QStringList features{u"ID3v2"_s,
                             u"página de códigos"_s,
                             u"UTF-8"_s,
                             u"Buscar en la BD"_s,
                             u"Duplicados"_s,
                             u"Opciones..."_s,
                             u"sin límite"_s,
                             u"Detener"_s,
                             u"CSV"_s,
                             u"JSON"_s,
                             u"Guardar como PDF..."_s,
                             u"Cascada"_s,
                             u"quillet scan"_s,
                             u"quillet list"_s,
                             u"quillet show"_s,
                             u"quillet delete"_s,
                             u"quillet search"_s,
                             u"quillet duplicates"_s,
                             u"Estadísticas de la BD"_s,
                             u"quillet stats"_s,
                             u"Todo el audio"_s,
                             u"PostgreSQL"_s,
                             u"quillet copy-db"_s};
  for (const QString& feature : features) {
    EXPECT_TRUE(page.contains(feature)) << feature.toStdString();
  }
  EXPECT_FALSE(page.contains(u"lee la etiqueta ID3v1 de cada"_s));  // an older program's claim
}

TEST(HelpPages, OpenThroughTheDesktopFromTheProgramDirectory) {
  QStringList opened;
  setDesktopOpenHandler([&opened](const QString& target) {
    opened.append(target);
    return true;
  });
  OpenHistory();
  OpenReference();
  setDesktopOpenHandler({});
  EXPECT_EQ(opened, QStringList({TestEnvironment::programDir() + u"/history.html"_s,
                                 TestEnvironment::programDir() + u"/reference.html"_s}));
}
