#pragma once

#include <QString>

#include <array>

#include "scan/node_tree.h"

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
};

inline constexpr quint8 kMedioCd = 1;
inline constexpr quint8 kMedioDirectorio = 2;
