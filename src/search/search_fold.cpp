#include "search/search_fold.h"

namespace {

constexpr char16_t kApostrophe = u'\'';
constexpr char16_t kAcute = u'\u00B4';

bool isMark(QChar c) {
  const QChar::Category category = c.category();
  return category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
         category == QChar::Mark_Enclosing;
}

bool isPlainAscii(const QString& text) {
  for (const QChar c : text) {
    if (c.unicode() >= 0x7F || c.unicode() < 0x20 || c == QChar(kApostrophe)) {
      return false;
    }
  }
  return true;
}

}  // namespace

QString foldText(const QString& text) {
  // Most stored texts are plain ASCII; they need only the case folded.
  if (isPlainAscii(text)) {
    return text.toLower();
  }
  const QString decomposed = text.normalized(QString::NormalizationForm_D);
  QString folded;
  folded.reserve(decomposed.size());
  for (const QChar c : decomposed) {
    if (isMark(c)) {
      continue;
    }
    if (c == QChar(kApostrophe)) {
      folded += QChar(kAcute);
    } else if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F)) {
      folded += u' ';
    } else {
      folded += c;
    }
  }
  return folded.toCaseFolded();
}
