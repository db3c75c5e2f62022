#pragma once

#include <QString>

#include <array>
#include <optional>
#include <vector>

#include "scan/node_tree.h"
#include "tags/audio_properties.h"

/** A listing holds at most this many directories and files; numbers run from 1. */
inline constexpr int kMaxDirectorios = 500;
inline constexpr int kMaxCanciones = 1000;

/** Tree images of the listing window's image list. */
inline constexpr int kImageCd = 1;
inline constexpr int kImageDirectory = 3;
inline constexpr int kImageMp3 = 5;

struct DirRecord {
  QString dirname;
  qint16 songfrom = 0;
  qint16 songto = 0;
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

/** What a scan met but did not list or read, counted for the listing's notices. */
struct ScanNotices {
  int unreadId3v2 = 0;  // MP3 files with an ID3v2 tag and no ID3v1 tag, read through ID3v1
  int otherAudio = 0;   // files of the other audio formats, left out of an MP3-only listing
};

/**
 * The catalogue of one CD or directory tree, owned by one listing window. A plain state block:
 * the scan, the loader, the renderer and the store read and write its members directly. Slot 0
 * of both arrays is never used; every writer keeps its indices within 1..kMax*.
 */
struct ListingModel {
  QString FinalName;
  quint8 FinalType = 0;  // 1 = CD, 2 = directory
  qint16 NumCancionesMP3 = 0;
  qint16 NumDirectoriosMP3 = 0;
  QString RutaInicial;  // empty = CD mode
  qint16 DirActualNum = 0;
  qint16 CancionActualNum = 0;
  std::array<DirRecord, kMaxDirectorios + 1> Directorios;
  std::array<SongRecord, kMaxCanciones + 1> Canciones;
  NodeTree tree;
  TechnicalFields technical;
  ScanNotices notices;
};

inline constexpr quint8 kMedioCd = 1;
inline constexpr quint8 kMedioDirectorio = 2;
