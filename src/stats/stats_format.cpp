#include "stats/stats_format.h"

#include <QLocale>

using namespace Qt::StringLiterals;

namespace {

const QLocale& spanish() {
  static const QLocale locale(QLocale::Spanish, QLocale::Spain);
  return locale;
}

}  // namespace

QString spanishNumber(qint64 value) {
  if (value > -10000 && value < 10000) {
    return QString::number(value);
  }
  // Grouped here: Qt's Spanish locale groups a million as "1000.000".
  QString digits = QString::number(value < 0 ? -value : value);
  for (qsizetype at = digits.size() - 3; at > 0; at -= 3) {
    digits.insert(at, u'.');
  }
  return value < 0 ? u'-' + digits : digits;
}

QString spanishShare(qint64 part, qint64 whole) {
  const double share =
      whole > 0 ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 0.0;
  // A share too small for one decimal is not nothing: it reads as less than the decimal.
  if (part > 0 && whole > 0 && share < 0.1) {
    return u"< 0,1 %"_s;
  }
  return spanish().toString(share, 'f', 1) + u" %"_s;
}
