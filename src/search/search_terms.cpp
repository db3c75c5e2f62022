#include "search/search_terms.h"

#include "search/search_fold.h"

QStringList queryPieces(const QString& query) {
  QStringList pieces;
  const QString folded = foldText(query);
  QString current;
  bool quoted = false;
  const auto flush = [&] {
    if (!current.trimmed().isEmpty()) {
      pieces.append(current);
    }
    current.clear();
  };
  for (const QChar c : folded) {
    if (c == u'"') {
      flush();
      quoted = !quoted;
    } else if (!quoted && c.isSpace()) {
      flush();
    } else {
      current += c;
    }
  }
  flush();
  pieces.removeDuplicates();
  return pieces;
}
