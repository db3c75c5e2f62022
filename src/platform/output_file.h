#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The one writer of every file the program produces (the exports, the command line's
// --output). Paths are raw Linux bytes, as everywhere in the platform layer.

/**
 * Writes bytes to the output at path. A regular file, or a missing one, is replaced whole or
 * not at all: the bytes go to a temporary file beside it, synced to disk and renamed over it,
 * with the old file's permission bits (a new file gets 0666 less the umask). A symbolic link
 * is followed to the file it finally names, which is written the same way; the link stays.
 * Anything else (a character device, a FIFO, a socket, a terminal) is opened and written
 * directly, never replaced; a FIFO waits for its reader, as a shell redirection does.
 * Empty text on success, otherwise the reason in Spanish; a failure leaves what was there.
 */
QString writeOutputFile(const QByteArray& path, QByteArrayView bytes);

/** Writes bytes to an open descriptor (standard output); empty text or the reason in Spanish. */
QString writeOutputDescriptor(int fd, QByteArrayView bytes);

/**
 * Creates a file at path holding bytes, whole, unless something is there already or appears
 * meanwhile: then EEXIST and nothing is changed. 0 on success, otherwise the errno.
 */
int createFileWhole(const QByteArray& path, QByteArrayView bytes);
