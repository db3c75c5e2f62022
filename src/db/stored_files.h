#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <future>
#include <vector>

#include "scan/known_files.h"

// A stored listing's files as an update meets them again: keyed by their path from the listing's
// root, with their stored records, technical fields and stamps. The walk of the source offers
// each file it lists; what it never offers was removed.

/** How the files a walk offers are taken. */
enum class StoredFilesUse {
  KeepUnchanged,  // an unchanged file keeps its stored record; added and changed ones are read
  KeepInPlace,    // as KeepUnchanged, but an unchanged file's row stays where it is stored, so
                  // its record is neither read from the catalogue nor written again
  ReadAll,        // every file is read again
  ReadNone,       // nothing is read: only the comparison is wanted
};

/** Where a file the walk listed was stored before, for an update that keeps rows in place. */
struct StoredPlace {
  int number = 0;     // its stored filegenorder; 0 for a file not stored
  int fileorder = 0;  // its stored fileorder
  bool read = false;  // read again: its stored row goes, and a new one is written
};

/** The stored rows an update keeps, moves or replaces, by the walk's numbers. */
struct RowsInPlace {
  /** Per file the walk listed, by its number (element 0 unused). */
  std::vector<StoredPlace> walked;
  /** The stored numbers of the rows that go: files removed, and rows no file of the tree has. */
  std::vector<int> gone;
};

class StoredFiles : public KnownFiles {
 public:
  explicit StoredFiles(StoredFilesUse use) : use_(use) {}

  /**
   * Starts reading listing rpId's files, rooted at root (without its final "/"), on a thread of
   * its own with a connection of its own, so the source can be walked meanwhile.
   */
  void startLoad(int rpId, const QString& root);
  /** Waits for the files started reading: empty text, else why they could not be read. */
  QString loaded();

  bool ready() override { return loaded().isEmpty(); }
  std::optional<KnownFile> take(int song, const QString& path, const FileStamp& stamp) override;

  /** The files offered that were not stored, in walk order. */
  const QStringList& added() const { return added_; }
  /** The files offered whose size or time differs (or was never kept), in walk order. */
  const QStringList& changed() const { return changed_; }
  int unchanged() const { return unchanged_; }
  /** The stored files never offered, sorted. */
  QStringList removed() const;
  /** After the walk, for KeepInPlace: where each listed file was stored, and the rows that go. */
  RowsInPlace rowsInPlace() const;

 private:
  struct Entry {
    FileStamp stamp;
    int number = 0;  // its stored filegenorder
    int fileorder = 0;
    bool seen = false;
  };

  QString load(int rpId, const QString& root);
  // numbers: one past the highest number of a file its directory holds.
  QString loadFiles(int rpId, const QString& root, std::size_t& numbers);
  void loadTechnical(int rpId, std::size_t numbers);

  StoredFilesUse use_;
  // Keyed by the path in UTF-8: a whole collection's paths are held through the walk.
  QHash<QByteArray, Entry> byPath_;
  // By stored number, only when the files kept take them: their records (KeepUnchanged) and
  // technical fields (a listing that has them).
  std::vector<SongRecord> records_;
  std::vector<std::optional<AudioProperties>> properties_;
  QStringList added_;
  QStringList changed_;
  int unchanged_ = 0;
  std::vector<StoredPlace> walked_;
  std::vector<int> strays_;  // stored rows outside every directory, or a second row of a path
  QString loadFailure_;
  // Last: a load still running is waited for before what it fills goes.
  std::future<QString> loading_;
};

/** Whether a file's stamp says it changed: a size, or a time more than 2 s, differs. */
bool stampChanged(const FileStamp& stored, const FileStamp& now);
