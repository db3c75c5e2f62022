#include "scan/directory_walker.h"

#include <QStringBuilder>
#include <QtMath>

#include "base/log.h"
#include "base/text_helpers.h"
#include "platform/posix_file.h"
#include "platform/raw_directory.h"
#include "tags/audio_file_reader.h"

#include <algorithm>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

bool isHidden(QByteArrayView name) {
  return name.startsWith('.');
}

// Neighbouring files mostly share their album, artist, year, genre and comment: one copy of each
// text, shared, keeps a whole collection's model small.
QString sharedText(QString text, const QString& previous) {
  return text == previous ? previous : text;
}

}  // namespace

QString limitReachedText(WalkStop limit, const LeftOut& left, NoticeAdvice advice) {
  const QString reached = limit == WalkStop::DirectoryLimit
                              ? u"%1 directorios con MP3"_s.arg(kMaxDirectorios)
                              : u"%1 archivos MP3"_s.arg(kMaxCanciones);
  return u"Se ha alcanzado el límite del listado (%1): quedan fuera: %2 directorios con MP3 y %3 "
         u"archivos MP3. Para listarlos todos, %4"_s.arg(reached)
             .arg(left.directories)
             .arg(left.files)
             .arg(adviceText(advice,
                             u"elija «Sin límite» en «Tamaño de los listados» (Opciones...)"_s,
                             u"--limits none"_s));
}

// Built at its exact size: a whole collection keeps one key per file for as long as the listing
// is open, and an appended string would carry up to half again its length unused.
QString FileNodeKey(const QString& dirname, const QString& filename) {
  return dirname % u'/' % filename;
}

DirectoryWalker::DirectoryWalker(ListingModel& model, WalkPump pump, EntrySizes sizes,
                                 TagReading tags, ListingLimits limits)
    : model_(model), pump_(std::move(pump)), sizes_(sizes), tags_(tags), limits_(limits) {}

bool DirectoryWalker::DirUtil(const WalkPath& dirOrigen, int /*nivelIndent*/, qint64& totalFicheros,
                              qint64& totalTamano) {
  rootName_ = trimBlanks(dirOrigen.withoutFinalSlash().shown);
  walkDirectory(dirOrigen.withoutFinalSlash(), totalFicheros, totalTamano);
  // A walk stopped at a limit keeps the files it listed: they are settled too.
  if (!cancelled_) {
    settleKnownSongs();
  }
  return stopReason() == WalkStop::None;
}

// False once the walk is cancelled; past a limit it goes on, counting only.
bool DirectoryWalker::walkDirectory(const WalkPath& dir, qint64& totalFicheros,
                                    qint64& totalTamano) {
  if (limit_ != WalkStop::None) {
    return countLeftOut(dir);
  }
  WriteLog(u"Buscando en "_s + dir.shown);
  Level level;
  if (!readLevel(dir, level)) {
    return !cancelled_;
  }
  if (level.songs.empty() || storeSongs(dir, level.songs)) {
    addSubdirectoryNodes(dir, level.subdirectories);
    totalFicheros += level.fileCount;
    totalTamano += qRound64(static_cast<double>(level.byteTotal) / 1024.0);
  }
  model_.notices.otherAudio += level.otherAudio;
  return walkSubdirectories(dir, level, totalFicheros, totalTamano);
}

// Past a limit: no tags, no records, no nodes, no log lines.
bool DirectoryWalker::countLeftOut(const WalkPath& dir) {
  Level level;
  if (!readLevel(dir, level)) {
    return !cancelled_;
  }
  if (!level.songs.empty()) {
    ++leftOut_.directories;
    leftOut_.files += static_cast<int>(level.songs.size());
  }
  qint64 uncounted = 0;
  return walkSubdirectories(dir, level, uncounted, uncounted);
}

bool DirectoryWalker::walkSubdirectories(const WalkPath& dir, const Level& level,
                                         qint64& totalFicheros, qint64& totalTamano) {
  for (const NamedEntry& subdirectory : level.subdirectories) {
    if (!walkDirectory(dir.child(subdirectory.raw), totalFicheros, totalTamano)) {
      return false;
    }
  }
  return pump();
}

// The one read of a directory: MP3 files, subdirectories to walk and the plain-file totals.
// False when the directory could not be read or the pump stopped the walk.
bool DirectoryWalker::readLevel(const WalkPath& dir, Level& level) {
  ++progress_.directories;
  progress_.current = dir.shown;
  const int error = readDirectoryOnce(dir.raw, sizes_, [&](const RawDirEntry& entry) {
    if (isHidden(entry.name)) {
      return true;
    }
    if (entry.kind == EntryKind::Directory && !entry.viaLink) {
      level.subdirectories.push_back({entry.name.toByteArray(), displayName(entry.name), {}});
      return pump();
    }
    if (entry.kind != EntryKind::RegularFile) {
      return true;
    }
    if (isListedAudio(entry.name, tags_.files)) {
      // Known files are told changed by their size and time: only a listed file's are read.
      FileStamp stamp{entry.size, entry.modified};
      if (known_ && !readEntryStamp(entry, stamp.size, stamp.modified)) {
        return pump();  // gone since the directory was read
      }
      level.songs.push_back({entry.name.toByteArray(), displayName(entry.name), stamp});
    } else if (tags_.files == AudioFiles::Mp3 && hasOtherAudioExtension(entry.name)) {
      ++level.otherAudio;
    }
    ++level.fileCount;
    level.byteTotal += entry.size;
    return pump();
  });
  if (error != 0 || cancelled_) {
    return false;
  }
  progress_.mp3Files += static_cast<int>(level.songs.size());
  // What is only counted needs no order.
  if (limit_ == WalkStop::None) {
    sortByName(level.songs);
    sortByName(level.subdirectories);
  }
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
  model_.DirActualNum = std::max(model_.DirActualNum, 0);
  model_.CancionActualNum = std::max(model_.CancionActualNum, 1);
  if (directoryLimitReached()) {
    return stopAtLimit(WalkStop::DirectoryLimit, songs.size(), true);
  }
  if (songLimitReached()) {
    return stopAtLimit(WalkStop::SongLimit, songs.size(), true);
  }
  const QString dirname = trimBlanks(dir.shown);
  ++model_.DirActualNum;
  DirRecord& record = model_.directorySlot(model_.DirActualNum);
  record.dirname = dirname;
  record.songfrom = model_.CancionActualNum;
  record.songto = model_.CancionActualNum - 1;
  WriteLog(u"Directorio %1 contiene MP3 (directorio # %2)"_s.arg(dirname).arg(model_.DirActualNum));
  const ListedDirectory directory{dir, dirname, model_.tree.indexOf(dirname)};
  if (known_) {
    pending_.push_back({model_.DirActualNum, dir, {}});
  }
  for (std::size_t stored = 0; stored < songs.size(); ++stored) {
    if (songLimitReached()) {
      return stopAtLimit(WalkStop::SongLimit, songs.size() - stored, false);
    }
    storeSong(directory, songs[stored], static_cast<int>(stored) + 1);
  }
  return true;
}

bool DirectoryWalker::directoryLimitReached() const {
  return limits_ == ListingLimits::Classic && model_.DirActualNum >= kMaxDirectorios;
}

bool DirectoryWalker::songLimitReached() const {
  return limits_ == ListingLimits::Classic && model_.CancionActualNum > kMaxCanciones;
}

void DirectoryWalker::storeSong(const ListedDirectory& directory, const NamedEntry& song,
                                int order) {
  const int number = model_.CancionActualNum;
  SongRecord& record = model_.songSlot(number);
  if (known_) {
    model_.stamps.set(number, song.stamp);
    pending_.back().names.append(song.raw).append('\0');
  } else {
    // The tag is read through the real path: a trailing blank of the directory is only trimmed
    // from the name the listing keeps.
    readSong(number, directory.path.childBytes(song.raw), directory.name, song.shown);
  }
  record.filename = QuoteToAcute(song.shown);
  record.fileorder = numberText(order);
  // A walk without a tree (see TreeNodes) makes no node keys either.
  if (directory.node >= 0) {
    model_.tree.addChildOf(directory.node, FileNodeKey(directory.name, song.shown), song.shown,
                           kImageMp3);
  }
  model_.Directorios[model_.DirActualNum].songto = number;
  ++model_.CancionActualNum;
}

// An update's walk, once the tree is walked: each listed file, in order, takes the record an
// earlier listing has of it when its size and time are as they were, and is read otherwise.
void DirectoryWalker::settleKnownSongs() {
  if (pending_.empty()) {
    return;
  }
  if (!known_->ready()) {
    cancelled_ = true;
    return;
  }
  for (const PendingDirectory& directory : pending_) {
    const DirRecord& listed = model_.Directorios[directory.number];
    const QString knownPath = knownDirectoryPath(listed.dirname, rootName_);
    progress_.current = directory.path.shown;
    int song = listed.songfrom;
    for (qsizetype from = 0; from < directory.names.size(); ++song) {
      const qsizetype end = directory.names.indexOf('\0', from);
      const QByteArrayView name(directory.names.constData() + from, end - from);
      from = end + 1;
      if (!takeKnownSong(song, knownPath)) {
        readSong(song, directory.path.childBytes(name), listed.dirname, displayName(name));
      }
      if (!pump()) {
        return;
      }
    }
  }
  pending_.clear();
}

bool DirectoryWalker::takeKnownSong(int song, const QString& knownPath) {
  SongRecord& record = model_.Canciones[static_cast<std::size_t>(song)];
  const FileStamp* stamp = model_.stamps.of(song);
  std::optional<KnownFile> known =
      known_->take(song, knownPath + record.filename, stamp ? *stamp : FileStamp{});
  if (!known) {
    return false;
  }
  known->record.filename = std::move(record.filename);
  known->record.fileorder = std::move(record.fileorder);
  record = std::move(known->record);
  if (known->properties) {
    model_.technical.set(song, *known->properties);
  }
  return true;
}

void DirectoryWalker::readSong(int song, const QByteArray& path, const QString& dirname,
                               const QString& shown) {
  const AudioFileRead read = ReadAudioFile(path, tags_);
  noteStamp(song, read, path);
  noteRead(song, read, dirname, shown);
  const TagInfo& tag = read.tag;
  const auto number = static_cast<std::size_t>(song);
  SongRecord& record = model_.Canciones[number];
  const SongRecord& previous = model_.Canciones[number - 1];
  record.album = sharedText(QuoteToAcute(tag.Album), previous.album);
  record.artist = sharedText(QuoteToAcute(tag.Artist), previous.artist);
  record.comment = sharedText(QuoteToAcute(tag.Comment), previous.comment);
  record.genre = sharedText(QuoteToAcute(tag.GenreName), previous.genre);
  record.title = QuoteToAcute(tag.Title);
  record.track = numberText(tag.Track);
  record.year = sharedText(QuoteToAcute(tag.Year), previous.year);
}

// Every subdirectory node of a level goes in before any is walked, so each child finds its
// parent.
void DirectoryWalker::addSubdirectoryNodes(const WalkPath& dir,
                                           const std::vector<NamedEntry>& subdirectories) {
  const int parent = model_.tree.indexOf(trimBlanks(dir.shown));
  if (parent < 0) {
    return;
  }
  for (const NamedEntry& subdirectory : subdirectories) {
    model_.tree.addChildOf(parent, trimBlanks(dir.child(subdirectory.raw).shown),
                           subdirectory.shown, kImageDirectory);
  }
}

// What the listing keeps of a file beside its record: its technical fields, and what its
// notices count.
void DirectoryWalker::noteRead(int song, const AudioFileRead& read, const QString& dirname,
                               const QString& shown) {
  if (read.properties) {
    model_.technical.set(song, *read.properties);
  }
  if (read.unreadId3v2) {
    ++model_.notices.unreadId3v2;
  }
  if (read.damaged) {
    WriteLog(
        u"No se pueden leer las etiquetas de %1: el archivo está dañado o no es del formato "
        u"que dice su nombre"_s.arg(FileNodeKey(dirname, shown)));
  }
}

// An update tells a changed file by its size and time: those the read took when it opened the
// file, or the file system's.
void DirectoryWalker::noteStamp(int song, const AudioFileRead& read, const QByteArray& path) {
  FileStamp stamp;
  if (read.stat) {
    stamp = {read.stat->size, read.stat->modified};
  } else if (!fileSizeAndTime(path, stamp.size, stamp.modified)) {
    return;
  }
  model_.stamps.set(song, stamp);
}

// Track and order numbers are small and repeat from file to file: each is made once a walk.
QString DirectoryWalker::numberText(int number) {
  static constexpr int kFirst = -1;
  static constexpr int kKept = 1024;
  if (number < kFirst || number >= kFirst + kKept) {
    return QString::number(number);
  }
  const auto index = static_cast<std::size_t>(number - kFirst);
  if (numbers_.size() <= index) {
    numbers_.resize(index + 1);
  }
  if (numbers_[index].isNull()) {
    numbers_[index] = QString::number(number);
  }
  return numbers_[index];
}

bool DirectoryWalker::pump() {
  if (pump_ && !pump_()) {
    cancelled_ = true;
  }
  return !cancelled_;
}

// The cap's log line comes once the rest of the tree has been counted (see ScanRun).
bool DirectoryWalker::stopAtLimit(WalkStop limit, std::size_t songsLeft, bool wholeDirectory) {
  limit_ = limit;
  leftOut_.directories += wholeDirectory ? 1 : 0;
  leftOut_.files += static_cast<int>(songsLeft);
  return false;
}
