#include "scan/directory_walker.h"

#include <QtMath>

#include "app/log.h"
#include "app/text_helpers.h"
#include "platform/raw_directory.h"
#include "tags/audio_file_reader.h"

#include <algorithm>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

bool isHidden(QByteArrayView name) {
  return name.startsWith('.');
}

}  // namespace

QString limitReachedText(WalkStop limit) {
  const QString reached = limit == WalkStop::DirectoryLimit
                              ? u"%1 directorios con MP3"_s.arg(kMaxDirectorios)
                              : u"%1 archivos MP3"_s.arg(kMaxCanciones);
  return u"Se ha alcanzado el límite del listado (%1): la búsqueda termina aquí"_s.arg(reached);
}

QString FileNodeKey(const QString& dirname, const QString& filename) {
  return dirname + u'/' + filename;
}

DirectoryWalker::DirectoryWalker(ListingModel& model, WalkPump pump, EntrySizes sizes,
                                 TagReading tags)
    : model_(model), pump_(std::move(pump)), sizes_(sizes), tags_(tags) {}

bool DirectoryWalker::DirUtil(const WalkPath& dirOrigen, qint16 nivelIndent, qint64& totalFicheros,
                              qint64& totalTamano) {
  const WalkPath dir = dirOrigen.withoutFinalSlash();
  WriteLog(u"Buscando en "_s + dir.shown);
  Level level;
  if (!readLevel(dir, level)) {
    return stop_ == WalkStop::None;
  }
  if (!level.songs.empty() && !storeSongs(dir, level.songs)) {
    return false;
  }
  addSubdirectoryNodes(dir, level.subdirectories);
  model_.notices.otherAudio += level.otherAudio;
  totalFicheros += level.fileCount;
  totalTamano += qRound64(static_cast<double>(level.byteTotal) / 1024.0);
  for (const NamedEntry& subdirectory : level.subdirectories) {
    if (!DirUtil(dir.child(subdirectory.raw), nivelIndent + 1, totalFicheros, totalTamano)) {
      return false;
    }
  }
  return pump();
}

// The one read of a directory: MP3 files, subdirectories to walk and the plain-file totals.
// False when the directory could not be read or the pump stopped the walk.
bool DirectoryWalker::readLevel(const WalkPath& dir, Level& level) {
  const int error = readDirectoryOnce(dir.raw, sizes_, [&](const RawDirEntry& entry) {
    if (isHidden(entry.name)) {
      return true;
    }
    if (entry.kind == EntryKind::Directory && !entry.viaLink) {
      level.subdirectories.push_back({entry.name.toByteArray(), displayName(entry.name)});
      return pump();
    }
    if (entry.kind != EntryKind::RegularFile) {
      return true;
    }
    if (isListedAudio(entry.name, tags_.files)) {
      level.songs.push_back({entry.name.toByteArray(), displayName(entry.name)});
    } else if (tags_.files == AudioFiles::Mp3 && hasOtherAudioExtension(entry.name)) {
      ++level.otherAudio;
    }
    ++level.fileCount;
    level.byteTotal += entry.size;
    return pump();
  });
  if (error != 0 || stop_ != WalkStop::None) {
    return false;
  }
  sortByName(level.songs);
  sortByName(level.subdirectories);
  return true;
}

void DirectoryWalker::sortByName(std::vector<NamedEntry>& entries) const {
  if (entries.size() < 2) {
    return;
  }
  QStringList names;
  names.reserve(static_cast<qsizetype>(entries.size()));
  for (const NamedEntry& entry : entries) {
    names.append(entry.shown);
  }
  std::vector<NamedEntry> sorted;
  sorted.reserve(entries.size());
  for (const qsizetype position : order_.sortedPositions(names)) {
    sorted.push_back(std::move(entries[static_cast<std::size_t>(position)]));
  }
  entries = std::move(sorted);
}

// Numbers the directory and stores its files, up to the listing's limits.
bool DirectoryWalker::storeSongs(const WalkPath& dir, const std::vector<NamedEntry>& songs) {
  // Counters left below their start values must not lead to slot 0 or before it.
  model_.DirActualNum = std::max<qint16>(model_.DirActualNum, 0);
  model_.CancionActualNum = std::max<qint16>(model_.CancionActualNum, 1);
  if (model_.DirActualNum >= kMaxDirectorios) {
    return stopAtLimit(WalkStop::DirectoryLimit);
  }
  if (model_.CancionActualNum > kMaxCanciones) {
    return stopAtLimit(WalkStop::SongLimit);
  }
  const QString dirname = trimBlanks(dir.shown);
  ++model_.DirActualNum;
  DirRecord& record = model_.Directorios[model_.DirActualNum];
  record.dirname = dirname;
  record.songfrom = model_.CancionActualNum;
  record.songto = static_cast<qint16>(model_.CancionActualNum - 1);
  WriteLog(u"Directorio %1 contiene MP3 (directorio # %2)"_s.arg(dirname).arg(model_.DirActualNum));
  int order = 1;
  for (const NamedEntry& song : songs) {
    if (model_.CancionActualNum > kMaxCanciones) {
      return stopAtLimit(WalkStop::SongLimit);
    }
    storeSong(dir, dirname, song, order++);
  }
  return true;
}

void DirectoryWalker::storeSong(const WalkPath& dir, const QString& dirname, const NamedEntry& song,
                                int order) {
  // The tag is read through the real path: a trailing blank of the directory is only trimmed
  // from the name the listing keeps.
  const AudioFileRead read = ReadAudioFile(dir.child(song.raw).raw, tags_);
  noteRead(read, dirname + u'/' + song.shown);
  const TagInfo& tag = read.tag;
  SongRecord& record = model_.Canciones[model_.CancionActualNum];
  record.album = QuoteToAcute(tag.Album);
  record.artist = QuoteToAcute(tag.Artist);
  record.comment = QuoteToAcute(tag.Comment);
  record.genre = QuoteToAcute(tag.GenreName);
  record.title = QuoteToAcute(tag.Title);
  record.track = QString::number(tag.Track);
  record.year = QuoteToAcute(tag.Year);
  record.filename = QuoteToAcute(song.shown);
  record.fileorder = QString::number(order);
  model_.tree.addChild(dirname, FileNodeKey(dirname, song.shown), song.shown, kImageMp3);
  model_.Directorios[model_.DirActualNum].songto = model_.CancionActualNum;
  ++model_.CancionActualNum;
}

// Every subdirectory node of a level goes in before any is walked, so each child finds its
// parent.
void DirectoryWalker::addSubdirectoryNodes(const WalkPath& dir,
                                           const std::vector<NamedEntry>& subdirectories) {
  const QString parentKey = trimBlanks(dir.shown);
  for (const NamedEntry& subdirectory : subdirectories) {
    model_.tree.addChild(parentKey, trimBlanks(dir.child(subdirectory.raw).shown),
                         subdirectory.shown, kImageDirectory);
  }
}

// What the listing keeps of a file beside its record: its technical fields, and what its
// notices count.
void DirectoryWalker::noteRead(const AudioFileRead& read, const QString& path) {
  if (read.properties) {
    model_.technical.set(model_.CancionActualNum, *read.properties);
  }
  if (read.unreadId3v2) {
    ++model_.notices.unreadId3v2;
  }
  if (read.damaged) {
    WriteLog(u"No se pueden leer las etiquetas de %1: el archivo está dañado o no es del formato "
             u"que dice su nombre"_s.arg(path));
  }
}

bool DirectoryWalker::pump() {
  if (pump_ && !pump_()) {
    stop_ = WalkStop::Cancelled;
  }
  return stop_ == WalkStop::None;
}

bool DirectoryWalker::stopAtLimit(WalkStop limit) {
  stop_ = limit;
  WriteLog(limitReachedText(limit));
  return false;
}
