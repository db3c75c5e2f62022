// The line-design renderer over any designs and listing texts, including counters and file
// ranges that reach outside the arrays. The input is a header of kHeaderBytes bytes (the
// directory count and each directory's file range), then UTF-8 text split at U+001F into the
// directory design, the file design and the texts that fill the records in turn.

#include <QStringList>

#include "fuzz/fuzz_support.h"
#include "listing/renderer.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

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

// Directory counts and file ranges from the header, small or out of range on purpose.
void fillModel(ListingModel& model, QByteArrayView header, TextSource& texts) {
  model.DirActualNum = static_cast<qint8>(header[0]) / 16;
  int lastSong = 0;
  for (int d = 1; d <= kDirectories; ++d) {
    DirRecord& dir = model.Directorios[d];
    dir.dirname = texts.next();
    dir.songfrom = static_cast<qint8>(header[2 * d - 1]);
    dir.songto = static_cast<qint8>(header[2 * d]);
    lastSong = std::max<int>(lastSong, dir.songto);
  }
  for (int f = 1; f <= lastSong; ++f) {
    fillSong(model.Canciones[f], texts);
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
    const DirRecord& dir = model.Directorios[d];
    for (int f = std::max<int>(dir.songfrom, 1); f <= std::min<int>(dir.songto, kMaxCanciones);
         ++f) {
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
  const auto model = std::make_unique<ListingModel>();
  fillModel(*model, QByteArrayView(input).first(kHeaderBytes), values);
  checkEntries(renderListing(*model, designs), *model, designs);
  return 0;
}
