#pragma once

#include <QString>

// The form in which texts are indexed and queries compared: case and accents ignored, so
// "cancion" finds "Canción" and "ARBOL" finds "árbol".

/**
 * The folded text: decomposed, marks dropped, case folded; the apostrophe and the acute accent
 * that storing puts in its place are one character; control characters become blanks.
 */
QString foldText(const QString& text);
