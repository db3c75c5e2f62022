#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The form in which texts are indexed and queries compared: case and accents ignored, so
// "cancion" finds "Canción" and "ARBOL" finds "árbol".

/**
 * The folded text: decomposed, marks dropped, case folded; the apostrophe and the acute accent
 * that storing puts in its place are one character; control characters become blanks.
 */
QString foldText(const QString& text);

/**
 * The text the index holds for a stored one: folded, and ended so that its last one- and
 * two-letter pieces still start a trigram.
 */
QString indexedText(const QString& text);
/** The same for a UTF-8 text, as the database keeps it. */
QByteArray indexedUtf8(QByteArrayView utf8);

/**
 * What copies of a file share: folded artist and title when both are given, else the folded
 * file name; empty when there is none.
 */
QString duplicateKey(const QString& artist, const QString& title, const QString& filename);
