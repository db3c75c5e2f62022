#include "listing/renderer.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// A line being rendered in both forms. The html form is only built once a value needed
// escaping; until then it equals the text form. Placeholder tokens hold none of the escaped
// characters, so every step finds the same occurrences in both forms.
class DualLine {
 public:
  explicit DualLine(const QString& design) : text_(design) {}

  /** Replaces token by a value taken from the listing. */
  void value(const QString& token, const QString& value) {
    if (!text_.contains(token)) {
      return;
    }
    const QString escaped = value.toHtmlEscaped();
    if (!diverged_ && escaped != value) {
      html_ = text_;
      diverged_ = true;
    }
    text_.replace(token, value);
    if (diverged_) {
      html_.replace(token, escaped);
    }
  }

  /** Replaces token by text of the program's own (tab, line break, numbers). */
  void literal(const QString& token, const QString& replacement) {
    if (!text_.contains(token)) {
      return;
    }
    text_.replace(token, replacement);
    if (diverged_) {
      html_.replace(token, replacement);
    }
  }

  bool mayHoldPlaceholders() const { return text_.contains(u'{'); }

  RenderedEntry entry(const QString& marker) const {
    return {marker + text_, marker + (diverged_ ? html_ : text_)};
  }

 private:
  QString text_;
  QString html_;
  bool diverged_ = false;
};

// "{TF}": the name without its extension; a name too short for one gives empty text.
QString withoutExtension(const QString& filename) {
  return filename.left(std::max<qsizetype>(0, filename.size() - 4));
}

// "{OF}": the number without leading zeros; text that is not a number is kept as it is.
QString orderNumber(const QString& fileorder) {
  bool ok = false;
  const qlonglong number = fileorder.trimmed().toLongLong(&ok);
  return ok ? QString::number(number) : fileorder;
}

RenderedEntry directoryLine(const QString& design, int d, const DirRecord& dir) {
  DualLine line(design);
  line.literal(u"{#D}"_s, QString::number(d));
  line.value(u"{TD}"_s, dir.dirname);
  line.literal(u"{Tb}"_s, u"\t"_s);
  line.literal(u"{Lf}"_s, u"\r\n"_s);
  return line.entry(u"D-"_s);
}

void replaceTagTexts(DualLine& line, const SongRecord& song) {
  line.value(u"{3Alb}"_s, song.album);
  line.value(u"{3Art}"_s, song.artist);
  line.value(u"{3Com}"_s, song.comment);
  line.value(u"{3Gen}"_s, song.genre);
  line.value(u"{3Tit}"_s, song.title);
  line.value(u"{3Tra}"_s, song.track);
  line.value(u"{3Yea}"_s, song.year);
}

RenderedEntry fileLine(const QString& design, int d, const DirRecord& dir, int f,
                       const SongRecord& song) {
  DualLine line(design);
  line.literal(u"{#D}"_s, QString::number(d));
  line.value(u"{TD}"_s, dir.dirname);
  line.literal(u"{#F}"_s, QString::number(f));
  line.value(u"{TF}"_s, withoutExtension(song.filename));
  line.value(u"{OF}"_s, orderNumber(song.fileorder));
  line.literal(u"{Tb}"_s, u"\t"_s);
  line.literal(u"{Lf}"_s, u"\r\n"_s);
  // Nothing left to replace once no brace remains; saves seven scans per line.
  if (line.mayHoldPlaceholders()) {
    replaceTagTexts(line, song);
  }
  return line.entry(u"F-"_s);
}

}  // namespace

std::vector<RenderedEntry> renderListing(const ListingModel& model, const LineDesigns& designs) {
  std::vector<RenderedEntry> entries;
  const int lastDir = std::clamp<int>(model.DirActualNum, 0, kMaxDirectorios);
  for (int d = 1; d <= lastDir; ++d) {
    const DirRecord& dir = model.Directorios[d];
    if (!designs.directory.isEmpty()) {
      entries.push_back(directoryLine(designs.directory, d, dir));
    }
    const int lastFile = std::min<int>(dir.songto, kMaxCanciones);
    for (int f = std::max<int>(dir.songfrom, 1); f <= lastFile; ++f) {
      entries.push_back(fileLine(designs.file, d, dir, f, model.Canciones[f]));
    }
    entries.push_back({u"  "_s, u"  "_s});
  }
  return entries;
}
