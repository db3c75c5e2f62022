#pragma once

#include <QString>

#include <functional>
#include <vector>

#include "platform/raw_directory.h"
#include "scan/known_files.h"
#include "scan/listing_model.h"
#include "scan/scan_notices.h"
#include "scan/sort_strings.h"
#include "scan/walk_path.h"
#include "tags/audio_file_reader.h"
#include "tags/tag_sources.h"

/**
 * Called at the walk's pump points (after each subdirectory entry, after each plain file and at
 * the end of each directory); returning false asks the walk to stop cleanly. A window lets its
 * events run here, throttled to about every 20 ms; the command line passes none.
 */
using WalkPump = std::function<bool()>;

/** Why a walk ended early. */
enum class WalkStop {
  None,            // walked to the end
  Cancelled,       // the pump asked to stop
  DirectoryLimit,  // a directory with MP3 files past kMaxDirectorios
  SongLimit,       // an MP3 file past kMaxCanciones
};

/** True for the stops at one of the classic limits. */
inline bool isLimitStop(WalkStop stop) {
  return stop == WalkStop::DirectoryLimit || stop == WalkStop::SongLimit;
}

/** What the classic limits kept out of a listing: MP3 directories wholly left out, MP3 files. */
struct LeftOut {
  int directories = 0;
  int files = 0;
};

/**
 * The log line (and notice) of a walk cut at one of the classic limits: which limit, what was
 * left out and where to choose a listing without limits.
 */
QString limitReachedText(WalkStop limit, const LeftOut& left,
                         NoticeAdvice advice = NoticeAdvice::OptionsWindow);

/** A walk's progress so far, for a window to show while it runs. */
struct WalkProgress {
  int directories = 0;  // directories visited
  int mp3Files = 0;     // MP3 files found, listed or not
  QString current;      // the directory being read
};

/** The key of an MP3 file's tree node: its directory's name, "/" and the file name. */
QString FileNodeKey(const QString& dirname, const QString& filename);

/**
 * One directory walk over a listing model. Each walk keeps its own state, so several can run
 * side by side (one per listing window). Numbers directories and files in walk order, reads the
 * tags and adds the tree nodes; everything it does is logged through WriteLog.
 */
class DirectoryWalker {
 public:
  /**
   * sizes: whether the walk stats every plain file for totalTamano. That stat per file would
   * more than double the time of a walk, and the scan discards the size total, so it is off
   * unless asked for; the file count costs nothing and is always kept. tags: where each file's
   * tag comes from (by default its ID3v1 block in Windows-1252).
   */
  explicit DirectoryWalker(ListingModel& model, WalkPump pump = {},
                           EntrySizes sizes = EntrySizes::Skip, TagReading tags = {},
                           ListingLimits limits = ListingLimits::Classic);

  /**
   * Walks dirOrigen and, depth first in name order, every directory below it, numbering on
   * from the model's counters (a fresh scan starts them at 0 and 1, see RunDirectoryScan). Hidden
   * entries (leading ".") and symbolic links to directories are left out; a directory that cannot
   * be read is logged and contributes nothing. totalFicheros and totalTamano (KB) gather the plain
   * files below (sizes only when asked for). Returns false when the walk stopped early: see
   * stopReason(). Past a classic limit the walk goes on through the rest of the tree reading
   * directories only, to count what was left out (leftOut()); it logs nothing there.
   */
  bool DirUtil(const WalkPath& dirOrigen, int nivelIndent, qint64& totalFicheros,
               qint64& totalTamano);

  /**
   * From now on each listed file is offered to known (which must outlive the walk), and read
   * only when it gives nothing back; null reads every file. The files are offered once the whole
   * tree is walked, in walk order, so known may still be making itself ready meanwhile.
   */
  void takeKnownFiles(KnownFiles* known) { known_ = known; }

  WalkStop stopReason() const { return cancelled_ ? WalkStop::Cancelled : limit_; }
  const LeftOut& leftOut() const { return leftOut_; }
  const WalkProgress& progress() const { return progress_; }

 private:
  struct NamedEntry {
    QByteArray raw;
    QString shown;
    FileStamp stamp;  // a listed file's, when the walk has known files
  };
  struct ListedDirectory {
    const WalkPath& path;
    QString name;  // as the listing keeps it
    int node = -1;
  };
  // A directory of an update's walk whose files wait to be offered to the known files.
  struct PendingDirectory {
    int number = 0;
    WalkPath path;
    QByteArray names;  // its listed files' real names, each followed by a NUL
  };
  struct Level {
    std::vector<NamedEntry> songs;
    std::vector<NamedEntry> subdirectories;
    qint64 fileCount = 0;
    qint64 byteTotal = 0;
    int otherAudio = 0;
  };

  bool walkDirectory(const WalkPath& dir, qint64& totalFicheros, qint64& totalTamano);
  bool countLeftOut(const WalkPath& dir);
  bool walkSubdirectories(const WalkPath& dir, const Level& level, qint64& totalFicheros,
                          qint64& totalTamano);
  bool readLevel(const WalkPath& dir, Level& level);
  void sortByName(std::vector<NamedEntry>& entries) const;
  bool storeSongs(const WalkPath& dir, const std::vector<NamedEntry>& songs);
  bool directoryLimitReached() const;
  bool songLimitReached() const;
  void storeSong(const ListedDirectory& directory, const NamedEntry& song, int order);
  void settleKnownSongs();
  bool takeKnownSong(int song, const QString& knownPath);
  void readSong(int song, const QByteArray& path, const QString& dirname, const QString& shown);
  void noteRead(int song, const AudioFileRead& read, const QString& dirname, const QString& shown);
  void noteStamp(int song, const AudioFileRead& read, const QByteArray& path);
  QString numberText(int number);
  void addSubdirectoryNodes(const WalkPath& dir, const std::vector<NamedEntry>& subdirectories);
  bool pump();
  bool stopAtLimit(WalkStop limit, std::size_t songsLeft, bool wholeDirectory);

  ListingModel& model_;
  WalkPump pump_;
  EntrySizes sizes_;
  TagReading tags_;
  ListingLimits limits_;
  KnownFiles* known_ = nullptr;
  QString rootName_;
  NameOrder order_;
  bool cancelled_ = false;
  WalkStop limit_ = WalkStop::None;
  LeftOut leftOut_;
  WalkProgress progress_;
  std::vector<QString> numbers_;
  std::vector<PendingDirectory> pending_;
};
