// Renders a full listing (500 directories, 1000 files) with every placeholder in both designs
// and reports the time of one render; exits 1 when the median is over 20 ms.
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <memory>
#include <vector>

#include "listing/renderer.h"

using namespace Qt::StringLiterals;

namespace {

std::unique_ptr<ListingModel> fullListing() {
  auto model = std::make_unique<ListingModel>();
  const int filesPerDirectory = kMaxCanciones / kMaxDirectorios;
  for (int d = 1; d <= kMaxDirectorios; ++d) {
    DirRecord& dir = model->Directorios[d];
    dir.dirname = u"/home/usuario/Música/Artista %1/Álbum & <Edición> %1"_s.arg(d);
    dir.songfrom = static_cast<int>((d - 1) * filesPerDirectory + 1);
    dir.songto = static_cast<int>(d * filesPerDirectory);
    for (int f = dir.songfrom; f <= dir.songto; ++f) {
      model->Canciones[f] = {u"Álbum %1"_s.arg(d),
                             u"Artista \"%1\""_s.arg(d),
                             u"Comentario <%1>"_s.arg(f),
                             u"Rock & Roll"_s,
                             u"Título número %1"_s.arg(f),
                             u"%1"_s.arg(f % 20 + 1),
                             u"1999"_s,
                             u"%1 - Canción.mp3"_s.arg(f),
                             QString::number(f - dir.songfrom + 1)};
    }
  }
  model->DirActualNum = kMaxDirectorios;
  model->CancionActualNum = kMaxCanciones + 1;
  return model;
}

}  // namespace

int main() {
  const auto model = fullListing();
  const LineDesigns designs{u"{#D}{Tb}{TD}{Lf}"_s,
                            u"{#D}.{#F}{Tb}{TD}{Tb}{TF}{Tb}{OF}{Tb}{3Alb}{Tb}{3Art}{Tb}{3Com}"
                            u"{Tb}{3Gen}{Tb}{3Tit}{Tb}{3Tra}{Tb}{3Yea}{Lf}"_s};
  std::vector<qint64> nanoseconds;
  std::size_t entries = 0;
  for (int run = 0; run < 21; ++run) {
    QElapsedTimer timer;
    timer.start();
    entries = renderListing(*model, designs).size();
    nanoseconds.push_back(timer.nsecsElapsed());
  }
  std::sort(nanoseconds.begin(), nanoseconds.end());
  const double medianMs = static_cast<double>(nanoseconds[nanoseconds.size() / 2]) / 1e6;
  const double bestMs = static_cast<double>(nanoseconds.front()) / 1e6;
  QTextStream(stdout) << u"render de %1 entradas: mediana %2 ms, mejor %3 ms (objetivo < 20 ms)\n"_s
                             .arg(entries)
                             .arg(medianMs, 0, 'f', 2)
                             .arg(bestMs, 0, 'f', 2);
  return medianMs < 20.0 ? 0 : 1;
}
