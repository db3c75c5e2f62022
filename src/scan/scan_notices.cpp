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

QString adviceText(NoticeAdvice advice, const QString& inWindow, const QString& option) {
  return advice == NoticeAdvice::CommandLine ? u"use "_s + option : inWindow;
}

std::vector<ListingNotice> scanNoticesOf(const ScanNotices& notices, NoticeAdvice advice) {
  std::vector<ListingNotice> shown;
  const QString tags =
      adviceText(advice, u"elija «ID3v2 y, si falta, ID3v1» en Herramientas > Opciones..."_s,
                 u"--tags v2v1"_s);
  addNotice(shown, u"id3v2"_s, notices.unreadId3v2,
            u"1 archivo tiene etiquetas ID3v2 que no se leen: "_s + tags,
            u"%1 archivos tienen etiquetas ID3v2 que no se leen: "_s + tags);
  const QString audio = adviceText(advice, u"elija «Todo el audio» en Herramientas > Opciones..."_s,
                                   u"--audio all"_s);
  addNotice(shown, u"formats"_s, notices.otherAudio,
            u"1 archivo de audio de otros formatos no se lista: "_s + audio,
            u"%1 archivos de audio de otros formatos no se listan: "_s + audio);
  return shown;
}
