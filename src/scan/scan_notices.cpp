#include "scan/scan_notices.h"

using namespace Qt::StringLiterals;

namespace {

// The notice of a count that is not 0: one's own text for a single file, else many's with the
// count.
void addNotice(std::vector<ListingNotice>& shown, const QString& key, int count, const QString& one,
               const QString& many) {
  if (count == 1) {
    shown.push_back({key, one});
  } else if (count > 1) {
    shown.push_back({key, many.arg(count)});
  }
}

}  // namespace

std::vector<ListingNotice> scanNoticesOf(const ScanNotices& notices) {
  std::vector<ListingNotice> shown;
  addNotice(shown, u"id3v2"_s, notices.unreadId3v2,
            u"1 archivo tiene etiquetas ID3v2 que no se leen: elija «ID3v2 y, si falta, ID3v1» "
            u"en Herramientas > Opciones..."_s,
            u"%1 archivos tienen etiquetas ID3v2 que no se leen: elija «ID3v2 y, si falta, "
            u"ID3v1» en Herramientas > Opciones..."_s);
  addNotice(shown, u"formats"_s, notices.otherAudio,
            u"1 archivo de audio de otros formatos no se lista: elija «Todo el audio» en "
            u"Herramientas > Opciones..."_s,
            u"%1 archivos de audio de otros formatos no se listan: elija «Todo el audio» en "
            u"Herramientas > Opciones..."_s);
  return shown;
}
