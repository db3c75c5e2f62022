#pragma once

#include <QByteArrayView>
#include <QFile>
#include <QTemporaryFile>

#include <cstdio>
#include <cstdlib>

// Shared by the fuzz targets. A broken invariant aborts: libFuzzer reports it as a crash with its
// input, and the corpus replay test fails on it.

#define FUZZ_CHECK(condition)                                                                \
  do {                                                                                       \
    if (!(condition)) {                                                                      \
      std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                          \
    }                                                                                        \
  } while (false)

/** The path of this process's scratch file, rewritten to hold exactly bytes. */
inline QString scratchFileWith(QByteArrayView bytes) {
  static QTemporaryFile file;
  static const bool created = file.open();
  FUZZ_CHECK(created);
  FUZZ_CHECK(file.resize(0) && file.seek(0));
  FUZZ_CHECK(file.write(bytes.data(), bytes.size()) == bytes.size() && file.flush());
  return file.fileName();
}
