#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

#include "tags/id3.h"

// ID3v2.2, 2.3 and 2.4 tags at the start of a file, read through TagLib into the same record
// as ID3v1. Texts are taken whole (no ID3v1 widths); the year is the first four characters of
// the recording time, the track the number before a "/", and a numeric genre ("17" or "(17)")
// is named through the program's genre table.

/**
 * The ID3v2 tag at the start of the file at rawPath. Nothing when the file has none, when its
 * header is damaged or claims more bytes than the file holds, or when the tag carries none of
 * the fields a listing shows (a tag holding only a picture, say). Never fails otherwise.
 */
std::optional<TagInfo> ReadId3v2Tag(const QByteArray& rawPath);

/** The length of the whole tag (header, frames, footer) that header begins; 0 for no tag. */
qint64 id3v2TagLength(QByteArrayView header);

/** The pure half of ReadId3v2Tag: tagBytes is a whole tag, header included. */
std::optional<TagInfo> id3v2TagFromBytes(QByteArrayView tagBytes);

/** What stands between the values of a tag field that holds several (two artists, say). */
inline constexpr const char* kMultiValueSeparator = "; ";

/**
 * Sets the genre from a tag's text: "17" and "(17)" name entry 17 of the genre table, any other
 * text is the genre's own name.
 */
void setGenreFromText(TagInfo& tag, const QString& genre);
