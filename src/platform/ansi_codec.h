#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The program's 8-bit code page is Windows-1252. The five bytes that the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of the same value and
// back, as Windows does, so every byte decodes and round-trips.

/** One character per byte. */
QString decodeAnsi(QByteArrayView bytes);

/** One byte per character; characters the code page cannot hold become '?'. */
QByteArray encodeAnsi(QStringView text);
