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

/** A short Spanish description of an errno value, for messages the user reads. */
QString systemErrorText(int error);
