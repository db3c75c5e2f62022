#pragma once

#include <libpq-fe.h>

// The few libpq calls the server engine makes on the connection Qt's driver holds. They are
// looked up in the libpq that the driver plugin loaded, so the program itself does not link
// libpq and its chain of libraries: a program that never opens a server connection (the file
// catalogue, every scan) does not pay for loading them at start-up.
namespace libpq {

/** Whether libpq reports the connection as broken; false when libpq is not loaded. */
bool isBad(PGconn* connection);
/** The cancel object of a connection (free it with freeCancel); null when libpq is not loaded. */
PGcancel* getCancel(PGconn* connection);
void freeCancel(PGcancel* cancel);
/** Sends the server a cancel request for the statement running on the cancel's connection. */
void cancel(PGcancel* cancel);

}  // namespace libpq
