#include "base/text_helpers.h"

namespace {
constexpr QChar kApostrophe = u'\'';
constexpr QChar kAcute = QChar(0x00B4);
}  // namespace

QString QuoteToAcute(const QString& s) {
  QString out = s;
  return out.replace(kApostrophe, kAcute);
}

QString AcuteToQuote(const QString& s) {
  QString out = s;
  return out.replace(kAcute, kApostrophe);
}
