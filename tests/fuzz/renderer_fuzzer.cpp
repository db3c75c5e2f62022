// The line-design renderer over any designs and listing texts, including counters and file
// ranges that reach outside the arrays. The input is a header of kHeaderBytes bytes (the
// directory count and each directory's first file and file count, see fillModel), then UTF-8 text
// split at U+001F into the directory design, the file design and the texts that fill the records in
// turn.

#include <QStringList>

#include "fuzz/fuzz_support.h"
#include "listing/renderer.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <utility>

namespace {

constexpr int kDirectories = 7;
constexpr qsizetype kHeaderBytes = 1 + 2 * kDirectories;
// Placeholders inside inserted values are expanded by the later steps, but a line never grows
// past this through them (a design longer than that is kept as typed).
constexpr qsizetype kMaxLine = 1 << 16;

class TextSource {
 public:
  explicit TextSource(QStringList texts) : texts_(std::move(texts)) {}
  QString next() { return texts_.isEmpty() ? QString() : texts_[next_++ % texts_.size()]; }

 private:
  QStringList texts_;
  qsizetype next_ = 0;
};

void fillSong(SongRecord& song, TextSource& texts) {
  for (QString* field : {&song.album, &song.artist, &song.comment, &song.genre, &song.title,
                         &song.track, &song.year, &song.filename, &song.fileorder}) {
    *field = texts.next();
  }
}

// Header bytes are small numbers, -8 to 7, so each input stays quick; as a first file number
// the two extreme bytes reach before and past the arrays. (A directory count past the arrays
// would render 500 directories per input, ten times slower; the renderer's tests cover it.)
int smallNumber(char byte) {
  return static_cast<qint8>(byte) / 16;
}

int firstSong(char byte) {
  const auto value = static_cast<qint8>(byte);
  if (value == std::numeric_limits<qint8>::max()) {
    return kMaxCanciones - 2;
  }
  return value == std::numeric_limits<qint8>::min() ? std::numeric_limits<int>::min()
                                                    : smallNumber(byte);
}

// A directory's files that the listing can hold; none when the range runs backwards.
std::pair<int, int> songsWithinTheArrays(const DirRecord& dir) {
  return {std::max<int>(dir.songfrom, 1), std::min<int>(dir.songto, kMaxCanciones)};
}

void fillModel(ListingModel& model, QByteArrayView header, TextSource& texts) {
  model.DirActualNum = static_cast<int>(smallNumber(header[0]));
  for (int d = 1; d <= kDirectories; ++d) {
    DirRecord& dir = model.Directorios[d];
    dir.dirname = texts.next();
    dir.songfrom = firstSong(header[2 * d - 1]);
    // Summed in 64 bits: the first file may be the smallest int, and a step below it must
    // stay there rather than wrap.
    dir.songto = static_cast<int>(std::max<qint64>(
        qint64{dir.songfrom} + smallNumber(header[2 * d]), std::numeric_limits<int>::min()));
    const auto [first, last] = songsWithinTheArrays(dir);
    for (int f = first; f <= last; ++f) {
      fillSong(model.Canciones[f], texts);
    }
  }
}

// Per directory: its "D-" line when the design has one, an "F-" line per file within the
// arrays, and the separator; nothing else, and no line without bound.
void checkEntries(const std::vector<RenderedEntry>& entries, const ListingModel& model,
                  const LineDesigns& designs) {
  const qsizetype longestDesign = std::max(designs.directory.size(), designs.file.size());
  std::size_t next = 0;
  const auto expectLine = [&](QStringView marker) {
    FUZZ_CHECK(next < entries.size());
    const RenderedEntry& entry = entries[next++];
    FUZZ_CHECK(entry.text.startsWith(marker) && entry.html.startsWith(marker));
    const qsizetype bound = 2 + std::max(kMaxLine, longestDesign);
    FUZZ_CHECK(entry.text.size() <= bound && entry.html.size() <= bound);
  };
  for (int d = 1; d <= std::clamp<int>(model.DirActualNum, 0, kMaxDirectorios); ++d) {
    if (!designs.directory.isEmpty()) {
      expectLine(u"D-");
    }
    const auto [first, last] = songsWithinTheArrays(model.Directorios[d]);
    for (int f = first; f <= last; ++f) {
      expectLine(u"F-");
    }
    FUZZ_CHECK(next < entries.size());
    FUZZ_CHECK(entries[next].text == u"  " && entries[next].html == u"  ");
    ++next;
  }
  FUZZ_CHECK(next == entries.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  if (input.size() < kHeaderBytes) {
    input.resize(kHeaderBytes, '\0');
  }
  QStringList texts = QString::fromUtf8(input.sliced(kHeaderBytes)).split(QChar(0x1f));
  const LineDesigns designs{texts.value(0), texts.value(1)};
  TextSource values(texts.mid(2));
  // One model for every input, as allocating one this large costs more than most renderings;
  // whatever the renderer reads of it is set anew by each input.
  static ListingModel model;
  fillModel(model, QByteArrayView(input).first(kHeaderBytes), values);
  checkEntries(renderListing(model, designs), model, designs);
  return 0;
}
