#pragma once

#include <QIcon>

// The program's one image list, shared by the toolbars and the trees of every window. Indices
// are fixed: 1 CD, 3 directory, 4 print, 5 MP3 file, 6 refresh, 7 export, 8 line design,
// 9 store in database, 10 close / erase, 13 stored listing / open, 14 search.

inline constexpr int kImageSearch = 14;
inline constexpr int kImageListSize = 15;

/** The 16 x 16 icon at index (1-based); a null icon outside 1..kImageListSize. */
QIcon imageListIcon(int index);
