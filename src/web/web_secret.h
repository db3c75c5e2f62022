#pragma once

#include <QByteArray>
#include <QByteArrayView>

/** A random text of `bytes` bytes from the system's cryptographic source, URL-safe base64. */
QByteArray makeSecret(int bytes);

/** Whether a and b are equal, in a time that does not tell how much of them matched. */
bool sameSecret(QByteArrayView a, QByteArrayView b);
