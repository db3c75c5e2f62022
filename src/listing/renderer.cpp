#include "listing/renderer.h"

#include <algorithm>
#include <array>
#include <span>

#include "listing/technical_texts.h"
#include "tags/audio_formats.h"

using namespace Qt::StringLiterals;

namespace {

// What a placeholder stands for. Listing values are HTML-escaped in the html form; the
// program's own texts (numbers, tab, line break) are not.
enum class Field {
  Dir,
  DirName,
  File,
  FileName,
  Order,
  Tab,
  Break,
  Alb,
  Art,
  Com,
  Gen,
  Tit,
  Tra,
  Yea,
  Dur,
  Kbp,
  Khz,
  Tam,
  DirDur,
  DirNum
};

struct Step {
  QStringView token;
  Field field;
};

// The replacement order of each design: text inserted by a step is seen by the later steps. The
// technical fields' placeholders come after the others; in a listing without them they are
// emptied, all but the directory's count of files, which needs none.
constexpr std::array kDirectorySteps = {
    Step{u"{#D}", Field::Dir},   Step{u"{TD}", Field::DirName},  Step{u"{Tb}", Field::Tab},
    Step{u"{Lf}", Field::Break}, Step{u"{DDur}", Field::DirDur}, Step{u"{DNum}", Field::DirNum}};
constexpr std::array kFileSteps = {
    Step{u"{#D}", Field::Dir},      Step{u"{TD}", Field::DirName}, Step{u"{#F}", Field::File},
    Step{u"{TF}", Field::FileName}, Step{u"{OF}", Field::Order},   Step{u"{Tb}", Field::Tab},
    Step{u"{Lf}", Field::Break},    Step{u"{3Alb}", Field::Alb},   Step{u"{3Art}", Field::Art},
    Step{u"{3Com}", Field::Com},    Step{u"{3Gen}", Field::Gen},   Step{u"{3Tit}", Field::Tit},
    Step{u"{3Tra}", Field::Tra},    Step{u"{3Yea}", Field::Yea},   Step{u"{3Dur}", Field::Dur},
    Step{u"{3Kbp}", Field::Kbp},    Step{u"{3Khz}", Field::Khz},   Step{u"{3Tam}", Field::Tam}};

// Names and tag texts may hold placeholders that the later steps expand again, so a hostile
// disc could multiply a line beyond any memory: a line stops growing at this length.
constexpr qsizetype kMaxEntryLength = 16384;

// Numbers and the program's own texts; the technical fields are numbers too.
bool isProgramText(Field field) {
  return field == Field::Dir || field == Field::File || field == Field::Tab ||
         field == Field::Break || field >= Field::Dur;
}

// "{OF}": the number without leading zeros; text that is not a number is kept as it is.
QString orderNumber(const QString& fileorder) {
  bool ok = false;
  const qlonglong number = fileorder.trimmed().toLongLong(&ok);
  return ok ? QString::number(number) : fileorder;
}

// The values of one line. File fields are empty on directory lines, which never use them, and
// the technical fields in a listing that has none.
struct LineValues {
  int d = 0;
  const DirRecord* dir = nullptr;
  int f = 0;
  const SongRecord* song = nullptr;
  const ListingModel* model = nullptr;

  QString technical(Field field) const {
    if (field == Field::DirNum) {
      return QString::number(std::max(0, dir->songto - dir->songfrom + 1));
    }
    if (!model->technical.present) {
      return {};
    }
    if (field == Field::DirDur) {
      return durationText(durationOfFiles(*model, dir->songfrom, dir->songto));
    }
    const AudioProperties* audio = model->technical.of(f);
    if (!audio) {
      return {};
    }
    switch (field) {
      case Field::Dur:
        return durationText(audio->durationMs);
      case Field::Kbp:
        return QString::number(audio->kbps);
      case Field::Khz:
        return kilohertzText(audio->hz);
      default:
        return megabytesText(audio->bytes);
    }
  }

  QString of(Field field) const {
    switch (field) {
      case Field::Dir:
        return QString::number(d);
      case Field::DirName:
        return dir->dirname;
      case Field::File:
        return QString::number(f);
      case Field::FileName:
        return nameWithoutExtension(song->filename);
      case Field::Order:
        return orderNumber(song->fileorder);
      case Field::Tab:
        return u"\t"_s;
      case Field::Break:
        return u"\r\n"_s;
      case Field::Alb:
        return song->album;
      case Field::Art:
        return song->artist;
      case Field::Com:
        return song->comment;
      case Field::Gen:
        return song->genre;
      case Field::Tit:
        return song->title;
      case Field::Tra:
        return song->track;
      case Field::Yea:
        return song->year;
      default:
        return technical(field);
    }
  }
};

// Most values hold nothing to escape: those are shared, not copied.
QString htmlEscaped(const QString& value) {
  const bool plain = std::none_of(value.begin(), value.end(), [](QChar c) {
    return c == u'<' || c == u'>' || c == u'&' || c == u'"';
  });
  return plain ? value : value.toHtmlEscaped();
}

bool hasBrace(QStringView text) {
  return text.contains(u'{') || text.contains(u'}');
}

// Every placeholder starts with the only "{" it holds and ends with the only "}", so
// occurrences never overlap: a search for "{" and a comparison find them all.
bool tokenAt(QStringView text, qsizetype at, QStringView token) {
  if (text.size() - at < token.size()) {
    return false;
  }
  return std::equal(token.begin(), token.end(), text.begin() + at);
}

// Replaces every occurrence of token, left to right; the inserted text is not searched again.
// The result is cut at kMaxEntryLength. False when there was none.
bool replaceToken(QString& text, QStringView token, QStringView value) {
  QString result;
  qsizetype copied = 0;
  for (qsizetype at = text.indexOf(u'{'); at >= 0 && result.size() < kMaxEntryLength;
       at = text.indexOf(u'{', at + 1)) {
    if (tokenAt(text, at, token)) {
      result.append(QStringView(text).sliced(copied, at - copied)).append(value);
      copied = at + token.size();
    }
  }
  if (copied == 0) {
    return false;
  }
  text = result.append(QStringView(text).sliced(copied));
  text.truncate(kMaxEntryLength);
  return true;
}

QString withMarker(QStringView marker, const QString& line) {
  QString entry;
  entry.reserve(marker.size() + line.size());
  return entry.append(marker).append(line);
}

// The reference rendering: every step in turn over the whole text, in both forms. The html
// form is only built once a value needs escaping; until then it equals the text form.
// Placeholders hold none of the escaped characters, so each step finds the same occurrences in
// both forms.
RenderedEntry renderStepByStep(QStringView marker, const QString& design,
                               std::span<const Step> steps, const LineValues& values) {
  QString text = design;
  QString html;
  bool diverged = false;
  for (const Step& step : steps) {
    if (!text.contains(u'{')) {
      break;
    }
    const QString value = values.of(step.field);
    const QString escaped = isProgramText(step.field) ? value : value.toHtmlEscaped();
    if (!diverged && escaped != value && text.contains(step.token)) {
      html = text;
      diverged = true;
    }
    if (replaceToken(text, step.token, value) && diverged) {
      replaceToken(html, step.token, escaped);
    }
  }
  return {withMarker(marker, text), withMarker(marker, diverged ? html : text)};
}

// A design split once into literal text and placeholders. When the design holds no brace
// outside whole placeholders and no value of a line holds a brace, no step can create or break
// another step's placeholder, so filling the pieces in one pass gives exactly the step-by-step
// result; other lines take the step-by-step path.
class CompiledDesign {
 public:
  CompiledDesign(const QString& design, std::span<const Step> steps)
      : design_(design), steps_(steps) {
    compiled_ = compile();
  }

  RenderedEntry render(QStringView marker, const LineValues& values) const {
    if (!compiled_) {
      return renderStepByStep(marker, design_, steps_, values);
    }
    Values filled;
    for (const Piece& piece : pieces_) {
      if (piece.step >= 0 && filled[piece.step].isNull()) {
        filled[piece.step] = values.of(steps_[piece.step].field);
        if (hasBrace(filled[piece.step])) {
          return renderStepByStep(marker, design_, steps_, values);
        }
      }
    }
    const Values escaped = escapedValues(filled);
    RenderedEntry entry{joined(marker, filled), {}};
    entry.html = escaped == filled ? entry.text : joined(marker, escaped);
    if (mayBeCut(entry, marker)) {
      return renderStepByStep(marker, design_, steps_, values);
    }
    return entry;
  }

 private:
  struct Piece {
    QStringView literal;
    int step = -1;  // index in steps_, or -1 for literal text
  };
  using Values = std::array<QString, kFileSteps.size()>;

  // The html form's values: the listing's own escaped, the program's as they are.
  Values escapedValues(const Values& filled) const {
    Values escaped;
    for (std::size_t step = 0; step < steps_.size(); ++step) {
      escaped[step] = isProgramText(steps_[step].field) ? filled[step] : htmlEscaped(filled[step]);
    }
    return escaped;
  }

  // The line in one allocation: a whole collection renders over a hundred thousand of them.
  QString joined(QStringView marker, const Values& filled) const {
    qsizetype length = marker.size();
    for (const Piece& piece : pieces_) {
      length += piece.step < 0 ? piece.literal.size() : filled[piece.step].size();
    }
    QString line;
    line.reserve(length);
    line.append(marker);
    for (const Piece& piece : pieces_) {
      if (piece.step < 0) {
        line.append(piece.literal);
      } else {
        line.append(filled[piece.step]);
      }
    }
    return line;
  }

  // Between two steps a line is never longer than the finished line and the design together,
  // so below the cut one pass gives exactly the step-by-step result; a longer line is left to
  // the steps, which cut it.
  bool mayBeCut(const RenderedEntry& entry, QStringView marker) const {
    const qsizetype longest = std::max(entry.text.size(), entry.html.size()) - marker.size();
    return longest + design_.size() >= kMaxEntryLength;
  }

  int stepAt(qsizetype at) const {
    for (std::size_t i = 0; i < steps_.size(); ++i) {
      if (tokenAt(design_, at, steps_[i].token)) {
        return static_cast<int>(i);
      }
    }
    return -1;
  }

  // A placeholder of the other design ("{#F}" in a directory design) stays as literal text.
  static qsizetype otherPlaceholderAt(QStringView design, qsizetype at) {
    for (const std::span<const Step> steps :
         {std::span<const Step>(kFileSteps), std::span<const Step>(kDirectorySteps)}) {
      for (const Step& step : steps) {
        if (tokenAt(design, at, step.token)) {
          return step.token.size();
        }
      }
    }
    return 0;
  }

  bool compile() {
    const QStringView design(design_);
    qsizetype literalStart = 0;
    qsizetype at = 0;
    while (at < design.size()) {
      if (design[at] == u'}') {
        return false;
      }
      if (design[at] != u'{') {
        ++at;
        continue;
      }
      if (const int step = stepAt(at); step >= 0) {
        pieces_.push_back({design.sliced(literalStart, at - literalStart)});
        pieces_.push_back({QStringView(), step});
        at += steps_[step].token.size();
        literalStart = at;
      } else if (const qsizetype length = otherPlaceholderAt(design, at); length > 0) {
        at += length;
      } else {
        return false;
      }
    }
    pieces_.push_back({design.sliced(literalStart)});
    return true;
  }

  QString design_;
  std::span<const Step> steps_;
  std::vector<Piece> pieces_;
  bool compiled_ = false;
};

}  // namespace

std::vector<RenderedEntry> renderListing(const ListingModel& model, const LineDesigns& designs) {
  const CompiledDesign directoryDesign(designs.directory, kDirectorySteps);
  const CompiledDesign fileDesign(designs.file, kFileSteps);
  std::vector<RenderedEntry> entries;
  const int lastDir = std::clamp(model.DirActualNum, 0, model.lastDirectorySlot());
  entries.reserve(static_cast<std::size_t>(2 * lastDir + std::max(model.NumCancionesMP3, 0)));
  for (int d = 1; d <= lastDir; ++d) {
    const DirRecord& dir = model.Directorios[d];
    if (!designs.directory.isEmpty()) {
      entries.push_back(directoryDesign.render(u"D-", {d, &dir, 0, nullptr, &model}));
    }
    const int lastFile = std::min(dir.songto, model.lastSongSlot());
    for (int f = std::max(dir.songfrom, 1); f <= lastFile; ++f) {
      entries.push_back(fileDesign.render(u"F-", {d, &dir, f, &model.Canciones[f], &model}));
    }
    entries.push_back({u"  "_s, u"  "_s});
  }
  return entries;
}
