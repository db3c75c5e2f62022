#pragma once

#include <QString>

// The genre names of the tag module, shared by the whole run: ID3v1's own list (0-79) and the
// extended list taggers write (80-191). Loaded once, on first use, and never changed afterwards.

/** Highest valid genre number: 0 until the table is loaded, then 191. */
qint16 MaxGenre();

/** Fills the table with the built-in names. */
void LoadGenreTable();

/**
 * The genre's name, its number followed by " (Unknown)" beyond the table, or empty for 255 (no
 * genre).
 */
QString GenreNameOf(quint8 genre);
