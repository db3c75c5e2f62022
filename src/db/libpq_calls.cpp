#include "db/libpq_calls.h"

#include <dlfcn.h>

namespace {

// The driver's connection exists only once its plugin, and the libpq it needs, are loaded:
// RTLD_NOLOAD finds that copy and never loads a second one.
void* loadedLibpq() {
  static void* const handle = [] {
    void* found = dlopen("libpq.so.5", RTLD_NOW | RTLD_NOLOAD);
    return found ? found : dlopen("libpq.so", RTLD_NOW | RTLD_NOLOAD);
  }();
  return handle;
}

template <typename Function>
Function* call(const char* name) {
  void* const handle = loadedLibpq();
  return handle ? reinterpret_cast<Function*>(dlsym(handle, name)) : nullptr;
}

}  // namespace

namespace libpq {

bool isBad(PGconn* connection) {
  static auto* const status = call<decltype(PQstatus)>("PQstatus");
  return status && status(connection) == CONNECTION_BAD;
}

PGcancel* getCancel(PGconn* connection) {
  static auto* const get = call<decltype(PQgetCancel)>("PQgetCancel");
  return get ? get(connection) : nullptr;
}

void freeCancel(PGcancel* cancel) {
  static auto* const free = call<decltype(PQfreeCancel)>("PQfreeCancel");
  if (free && cancel) {
    free(cancel);
  }
}

void cancel(PGcancel* cancel) {
  static auto* const send = call<decltype(PQcancel)>("PQcancel");
  char reason[256];
  if (send) {
    send(cancel, reason, sizeof reason);
  }
}

}  // namespace libpq
