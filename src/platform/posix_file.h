#pragma once

#include <QString>

// Thin POSIX file layer: the walk, the tag reader and the writers work on the raw byte paths of
// Linux, so names that are not valid UTF-8 are reached like any other.

/** Owns one file descriptor and closes it when it goes out of scope. */
class UniqueFd {
 public:
  explicit UniqueFd(int fd = -1) : fd_(fd) {}
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept;
  ~UniqueFd();

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int release();

 private:
  int fd_;
};

/** What the system said of a file just opened: its length and modification time (seconds since
 *  the epoch). */
struct RegularFileStat {
  qint64 size = 0;
  qint64 modified = 0;
};

/**
 * Opens path read-only when it is a regular file, without ever blocking on a FIFO that slipped
 * through; size (or stat) gets its length (and time). Anything else gives an invalid descriptor.
 */
UniqueFd openRegularFile(const QByteArray& path, qint64& size);
UniqueFd openRegularFile(const QByteArray& path, RegularFileStat& stat);

/** The size and modification time (seconds since the epoch) of the file at path, links
 *  followed; false when it cannot be read. */
bool fileSizeAndTime(const QByteArray& path, qint64& size, qint64& modified);

/** Reads exactly size bytes at offset; false on any error or short read. */
bool readExactlyAt(int fd, char* buffer, qsizetype size, qint64 offset);

/** A short Spanish description of an errno value, for messages the user reads. */
QString systemErrorText(int error);
