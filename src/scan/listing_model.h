#pragma once

#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

#include "platform/volume_identity.h"
#include "scan/node_tree.h"
#include "tags/audio_properties.h"

/** With the classic limits a listing holds at most this many directories and files. */
inline constexpr int kMaxDirectorios = 500;
inline constexpr int kMaxCanciones = 1000;

/**
 * How much of a tree a scan lists: the classic limits above (the program's own way), or every
 * directory with MP3 files and every MP3 file. Loading, showing and searching a stored listing
 * always take it whole.
 */
enum class ListingLimits { Classic, None };

/** "classic" or "none", as the command line and the settings store name them. */
QString listingLimitsKey(ListingLimits limits);

std::optional<ListingLimits> listingLimitsFromKey(QStringView key);

/** Tree images of the listing window's image list. */
inline constexpr int kImageCd = 1;
inline constexpr int kImageDirectory = 3;
inline constexpr int kImageMp3 = 5;

struct DirRecord {
  QString dirname;
  int songfrom = 0;
  int songto = 0;
};

struct SongRecord {
  QString album;
  QString artist;
  QString comment;
  QString genre;
  QString title;
  QString track;
  QString year;
  QString filename;
  QString fileorder;
};

/**
 * The technical fields of a listing's files, by file number. A listing has them only when they
 * were read by its scan or stored with it; a file that could not be read has none.
 */
struct TechnicalFields {
  bool present = false;

  /** The file's fields, or null when it has none. */
  const AudioProperties* of(int file) const;
  void set(int file, const AudioProperties& properties);
  void clear();

 private:
  std::vector<std::optional<AudioProperties>> byFile_;
};

/** A listed file's size and modification time (seconds since the epoch), when they were read. */
struct FileStamp {
  qint64 size = -1;
  qint64 modified = 0;

  bool operator==(const FileStamp&) const = default;
};

/** The stamps of a listing's files by file number; a file without one has size -1. */
struct FileStamps {
  const FileStamp* of(int file) const;
  void set(int file, const FileStamp& stamp);
  void clear() { byFile_.clear(); }
  bool empty() const { return byFile_.empty(); }

 private:
  std::vector<FileStamp> byFile_;
};

/**
 * Raised whenever what a tag or property reader gives for the same file changes, so a listing
 * read by older readers is read again whole when it is updated.
 */
inline constexpr int kTagReaderVersion = 1;

/**
 * What a listing's source is, so a later scan of the same disc or folder is told it is already
 * catalogued (see source_identity.h). Empty for a listing stored before it was kept.
 */
struct SourceIdentity {
  /** The disc (CD listing) or the file system that holds the folder (directory listing). */
  VolumeIdentity volume;
  /** Where it was scanned: the drive root, or the folder's absolute path, without final "/". */
  QString path;
  /** A folder's path from its file system's mount point ("" for the mount point itself). */
  QString relativePath;
  /** Of the sorted relative paths and sizes of the listed files. */
  QString signature;
  /** The scan's choices, as scanChoicesText writes them. */
  QString choices;
  int readerVersion = 0;

  bool operator==(const SourceIdentity&) const = default;
};

/** What a scan met but did not list or read, counted for the listing's notices. */
struct ScanNotices {
  int unreadId3v2 = 0;  // MP3 files with an ID3v2 tag and no ID3v1 tag, read through ID3v1
  int otherAudio = 0;   // files of the other audio formats, left out of an MP3-only listing
  // The walk stopped before the end of the tree (at a classic limit, or at the user's word),
  // or the stored listing was marked so: it is kept with the listing wherever it is stored.
  bool incomplete = false;
};

/**
 * Whether a scan or a load builds the listing's tree (its nodes, keys and their index), which
 * only a listing shown in a window has a use for. Without it the tree stays empty: there is no
 * root to hang a node on, and no node is made.
 */
enum class TreeNodes { Build, Skip };

/**
 * The catalogue of one CD or directory tree, owned by one listing window. A plain state block:
 * the scan, the loader, the renderer and the store read and write its members directly. Slot 0
 * of both tables is never used. Both start with room for the classic limits; a writer that goes
 * past them makes room first (directorySlot, songSlot), and a reader stays below size().
 */
struct ListingModel {
  QString FinalName;
  quint8 FinalType = 0;  // 1 = CD, 2 = directory
  int NumCancionesMP3 = 0;
  int NumDirectoriosMP3 = 0;
  QString RutaInicial;  // empty = CD mode
  int DirActualNum = 0;
  int CancionActualNum = 0;
  std::vector<DirRecord> Directorios = std::vector<DirRecord>(kMaxDirectorios + 1);
  std::vector<SongRecord> Canciones = std::vector<SongRecord>(kMaxCanciones + 1);
  NodeTree tree;

  /** The record of directory number (1-based), made room for when it is past the end. */
  DirRecord& directorySlot(int number);
  SongRecord& songSlot(int number);
  /** The highest directory and file numbers the tables hold. */
  int lastDirectorySlot() const { return static_cast<int>(Directorios.size()) - 1; }
  int lastSongSlot() const { return static_cast<int>(Canciones.size()) - 1; }

  TechnicalFields technical;
  FileStamps stamps;
  SourceIdentity source;
  ScanNotices notices;
};

inline constexpr quint8 kMedioCd = 1;
inline constexpr quint8 kMedioDirectorio = 2;
