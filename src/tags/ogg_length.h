#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// The playing time of an Ogg Vorbis or Opus stream from its first and its true last page.
// TagLib 1.13 looks for the last page backwards in 1,024-byte blocks and misses a page header
// that straddles two of them; it then takes an earlier page and reports a time short by up to
// a second and a half, so the program finds the last page itself.

/**
 * The length in milliseconds of the Vorbis or Opus stream that begins the file at rawPath;
 * nothing for other streams or when the pages cannot be made out.
 */
std::optional<qint64> oggStreamLengthMs(const QByteArray& rawPath);

/**
 * The pure half: head holds the file's first bytes (its first page, at least), tail its last
 * bytes (the last page whole, at least).
 */
std::optional<qint64> oggStreamLengthMs(QByteArrayView head, QByteArrayView tail);
