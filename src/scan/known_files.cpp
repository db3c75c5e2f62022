#include "scan/known_files.h"

#include "base/text_helpers.h"

using namespace Qt::StringLiterals;

QString knownDirectoryPath(const QString& dirname, const QString& root) {
  // The root "/" keeps its "/" as its name: its subdirectories start right after it.
  const qsizetype cut = root == u"/"_s ? 0 : root.size();
  const QString directory = dirname.startsWith(root) ? dirname.mid(cut) : dirname;
  return QuoteToAcute(directory) + u'/';
}
