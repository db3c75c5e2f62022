#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <sys/types.h>

// An X server of the test's own: Xvfb on the first free display, not listening on TCP, its
// messages kept in a temporary directory. Stopped with the object, which also removes the
// server's socket and lock file, so window tests on the xcb platform leave nothing behind and
// never meet the user's own display.
class PrivateXvfb {
 public:
  PrivateXvfb() = default;
  ~PrivateXvfb();
  PrivateXvfb(const PrivateXvfb&) = delete;
  PrivateXvfb& operator=(const PrivateXvfb&) = delete;

  /** Starts the server and waits (a few seconds at most) until it takes clients; why not, or
   *  empty. */
  QString start();

  /** ":N", the value for DISPLAY. */
  QByteArray display() const { return display_; }

 private:
  QTemporaryDir root_;
  pid_t pid_ = -1;
  QByteArray display_;
};
