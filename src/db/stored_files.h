#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

#include "scan/known_files.h"

// A stored listing's files as an update meets them again: keyed by their path from the listing's
// root, with their stored records, technical fields and stamps. The walk of the source offers
// each file it lists; what it never offers was removed.

/** How the files a walk offers are taken. */
enum class StoredFilesUse {
  KeepUnchanged,  // an unchanged file keeps its stored record; added and changed ones are read
  ReadAll,        // every file is read again
  ReadNone,       // nothing is read: only the comparison is wanted
};

class StoredFiles : public KnownFiles {
 public:
  explicit StoredFiles(StoredFilesUse use) : use_(use) {}

  /** Reads listing rpId's files, rooted at root (without its final "/"); empty text, else why. */
  QString load(int rpId, const QString& root);

  std::optional<KnownFile> take(const QString& path, const FileStamp& stamp) override;

  /** The files offered that were not stored, in walk order. */
  const QStringList& added() const { return added_; }
  /** The files offered whose size or time differs (or was never kept), in walk order. */
  const QStringList& changed() const { return changed_; }
  int unchanged() const { return unchanged_; }
  /** The stored files never offered, sorted. */
  QStringList removed() const;

 private:
  struct Entry {
    KnownFile file;
    FileStamp stamp;
    bool seen = false;
  };

  QString loadFiles(int rpId, const QString& root, std::vector<QString>& pathOf);
  void loadTechnical(int rpId, const std::vector<QString>& pathOf);
  QString loadStamps(int rpId, const std::vector<QString>& pathOf);

  StoredFilesUse use_;
  QHash<QString, Entry> byPath_;
  QStringList added_;
  QStringList changed_;
  int unchanged_ = 0;
};

/** Whether a file's stamp says it changed: a size, or a time more than 2 s, differs. */
bool stampChanged(const FileStamp& stored, const FileStamp& now);
