#pragma once

#include <QString>

// The genre names of the tag module, shared by the whole run: ID3v1's own list (0-79) and the
// program's extension of it (80-114). Loaded once, on first use, and never changed afterwards.

/** Highest valid genre number: 0 until the table is loaded, then 114. */
qint16 MaxGenre();

/** Fills the table with the built-in names. */
void LoadGenreTable();

/** The genre's name, or its number followed by " (Unknown)" beyond the table. */
QString GenreNameOf(quint8 genre);
