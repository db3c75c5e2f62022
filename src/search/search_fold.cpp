#include "search/search_fold.h"

#include <algorithm>

namespace {

constexpr char16_t kApostrophe = u'\'';
constexpr char16_t kAcute = u'\u00B4';

bool isMark(QChar c) {
  const QChar::Category category = c.category();
  return category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
         category == QChar::Mark_Enclosing;
}

// Printable ASCII other than the apostrophe: folding only lowers its case.
bool foldsByCaseOnly(char32_t c) {
  return c >= 0x20 && c < 0x7F && c != kApostrophe;
}

bool isPlainAscii(const QString& text) {
  return std::all_of(text.cbegin(), text.cend(),
                     [](QChar c) { return foldsByCaseOnly(c.unicode()); });
}

// Every byte of a multi-byte UTF-8 character is 0x80 or more, so none of them passes.
bool isPlainAscii(QByteArrayView utf8) {
  return std::all_of(utf8.cbegin(), utf8.cend(),
                     [](char c) { return foldsByCaseOnly(static_cast<unsigned char>(c)); });
}

// What ends every indexed text, as the program holds it and as the database does.
const char16_t kTextEnd[] = u"\u0001\u0001";
constexpr char kTextEndUtf8[] = "\x01\x01";

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

QString indexedText(const QString& text) {
  return foldText(text).append(kTextEnd);
}

QByteArray indexedUtf8(QByteArrayView utf8) {
  if (isPlainAscii(utf8)) {
    return utf8.toByteArray().toLower().append(kTextEndUtf8);
  }
  return indexedText(QString::fromUtf8(utf8)).toUtf8();
}

QString duplicateKey(const QString& artist, const QString& title, const QString& filename) {
  const QString foldedArtist = foldText(artist).trimmed();
  const QString foldedTitle = foldText(title).trimmed();
  if (!foldedArtist.isEmpty() && !foldedTitle.isEmpty()) {
    return foldedArtist + u'\u001F' + foldedTitle;
  }
  return foldText(filename);
}
