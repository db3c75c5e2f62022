#pragma once

#include <QString>

#include <functional>

class QObject;

// Every use of the catalogue starts here: the program's connection is checked and, when it was
// lost or never opened, opened again once. Trying a server that is down can take the whole
// connect timeout, so that try runs on a thread of its own and the window that asked stays live.

/** Gets empty text when the catalogue is open, else why it cannot be reached, in Spanish. */
using BdReady = std::function<void(const QString& failure)>;

/**
 * Runs then on context's thread with BdConnection() open, or with the reason it is not: at
 * once when it is open, else after one try to open it again. Not run when context is gone.
 */
void whenBdOpen(QObject* context, BdReady then);

/**
 * whenBdOpen for a read, which returns its failure (empty when it worked): a read that lost the
 * connection is made once more on a new one. done gets the last failure. Only reads are made
 * again: a write whose commit may have reached the server is never sent twice.
 */
void readWhenBdOpen(QObject* context, std::function<QString()> read, BdReady done);
