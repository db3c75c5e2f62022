#include "scan/scan_notices.h"

using namespace Qt::StringLiterals;

std::vector<ListingNotice> scanNoticesOf(const ScanNotices& notices) {
  std::vector<ListingNotice> shown;
  if (notices.unreadId3v2 == 1) {
    shown.push_back({u"id3v2"_s,
                     u"1 archivo tiene etiquetas ID3v2 que no se leen: elija «ID3v2 y, si falta, "
                     u"ID3v1» en Herramientas > Opciones..."_s});
  } else if (notices.unreadId3v2 > 1) {
    shown.push_back({u"id3v2"_s,
                     u"%1 archivos tienen etiquetas ID3v2 que no se leen: elija «ID3v2 y, si "
                     u"falta, ID3v1» en Herramientas > Opciones..."_s.arg(notices.unreadId3v2)});
  }
  if (notices.otherAudio == 1) {
    shown.push_back({u"formats"_s,
                     u"1 archivo de audio de otros formatos no se lista: elija «Todo el audio» "
                     u"en Herramientas > Opciones..."_s});
  } else if (notices.otherAudio > 1) {
    shown.push_back({u"formats"_s,
                     u"%1 archivos de audio de otros formatos no se listan: elija «Todo el "
                     u"audio» en Herramientas > Opciones..."_s.arg(notices.otherAudio)});
  }
  return shown;
}
