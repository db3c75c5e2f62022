#include "output/print_choices.h"

#include <array>

using namespace Qt::StringLiterals;

namespace {

// Small Fonts is a tiny, narrow sans face; narrow sans faces keep the most text on a line at
// small sizes, plain sans faces come next. Families may carry a foundry, as in "Nimbus Sans [urw]".
const std::array kSmallFaces = {
    u"Small Fonts"_s,        u"Liberation Sans Narrow"_s,
    u"Nimbus Sans Narrow"_s, u"DejaVu Sans Condensed"_s,
    u"Arial Narrow"_s,       u"Arial"_s,
    u"Liberation Sans"_s,    u"Nimbus Sans"_s,
    u"DejaVu Sans"_s,
};

bool isFace(const QString& family, const QString& face) {
  return family == face || family.startsWith(face + u" ["_s);
}

}  // namespace

int PreselectedPrinter(const QStringList& names, const QString& currentName,
                       const QString& savedName) {
  int chosen = 0;
  for (int i = 0; i < names.size(); ++i) {
    if (names[i] == currentName || names[i] == savedName) {
      chosen = i;
    }
  }
  return chosen;
}

QString ListingFontFamily(const QStringList& families) {
  for (const QString& face : kSmallFaces) {
    for (const QString& family : families) {
      if (isFace(family, face)) {
        return family;
      }
    }
  }
  return families.value(0);
}
