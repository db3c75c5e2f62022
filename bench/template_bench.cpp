// Exports a 100,000-file listing (8,000 directories, technical fields on every file) through a
// template, «HTML por disco» unless another is named, and reports the time and the memory the
// export takes beyond the listing itself (resident peak after the export minus before it); then
// what the templates window does after a keystroke on a 1,000-file listing: compile and render.
// Targets: under 1.5 s and 50 MB, and a preview under 100 ms; exits 1 past any.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>

#include <sys/resource.h>

#include <memory>

#include "output/template_export.h"
#include "output/template_library.h"

using namespace Qt::StringLiterals;

namespace {

std::unique_ptr<ListingModel> largeListing(int directories, int files) {
  auto model = std::make_unique<ListingModel>();
  model->FinalName = model->RutaInicial = u"/home/usuario/Música"_s;
  model->FinalType = kMedioDirectorio;
  model->technical.present = true;
  int file = 0;
  for (int d = 1; d <= directories; ++d) {
    DirRecord& dir = model->directorySlot(d);
    dir.dirname = u"/home/usuario/Música/Artista %1/Álbum & <Edición> %1"_s.arg(d);
    dir.songfrom = file + 1;
    const int count = files / directories + (d <= files % directories ? 1 : 0);
    for (int i = 1; i <= count; ++i) {
      ++file;
      model->songSlot(file) = {u"Álbum %1"_s.arg(d),
                               u"Artista \"%1\""_s.arg(d),
                               u"Comentario <%1>"_s.arg(file),
                               u"Rock"_s,
                               u"Título número %1"_s.arg(file),
                               QString::number(i),
                               u"1999"_s,
                               u"%1 - Canción.mp3"_s.arg(i),
                               QString::number(i)};
      model->technical.set(file, {215000 + file % 1000, 192, 44100, 2, 5160000});
    }
    dir.songto = file;
  }
  model->NumDirectoriosMP3 = model->DirActualNum = directories;
  model->NumCancionesMP3 = files;
  return model;
}

long peakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QString name = argc > 1 ? QString::fromUtf8(argv[1]) : u"HTML por disco"_s;
  QString error;
  QStringList warnings;
  const std::optional<CompiledTemplate> compiled = compileTemplateNamed(name, error, warnings);
  if (!compiled) {
    QTextStream(stderr) << error << u'\n';
    return 2;
  }
  const auto model = largeListing(8000, 100000);
  const long before = peakKilobytes();
  QElapsedTimer timer;
  timer.start();
  const QByteArray bytes =
      templateListingBytes(*compiled, *model, {model->FinalName, kMedioDirectorio}, 0, {},
                           u"/tmp"_s, ExportEncoding::Utf8);
  const qint64 ms = timer.elapsed();
  const double extraMb = double(peakKilobytes() - before) / 1024.0;
  QTextStream(stdout) << u"«%1», %2 archivos: %3 ms, %4 MB escritos, %5 MB de memoria sobre el "
                         u"listado (objetivo < 1500 ms y < 50 MB)\n"_s.arg(name)
                             .arg(100000)
                             .arg(ms)
                             .arg(double(bytes.size()) / 1e6, 0, 'f', 1)
                             .arg(extraMb, 0, 'f', 1);
  const auto small = largeListing(80, 1000);
  timer.restart();
  const std::optional<CompiledTemplate> again =
      CompiledTemplate::compile(compiled->source(), &findTemplate, error, warnings);
  templateListingBytes(*again, *small, {small->FinalName, kMedioDirectorio}, 0, {}, u"/tmp"_s,
                       ExportEncoding::Utf8);
  const double previewMs = double(timer.nsecsElapsed()) / 1e6;
  QTextStream(stdout) << u"vista previa de 1.000 archivos: %1 ms (objetivo < 100 ms)\n"_s.arg(
      previewMs, 0, 'f', 1);
  return ms < 1500 && extraMb < 50 && previewMs < 100 ? 0 : 1;
}
