#pragma once

#include <QByteArray>
#include <QString>

#include <map>

/**
 * A directory the running user cannot write, holding the given files. Root writes through any
 * permission bits, so for root it is a small read-only tmpfs mounted there; for anyone else,
 * permission bits. Undone when it goes.
 */
class ReadOnlyDir {
 public:
  ReadOnlyDir(const QString& path, const std::map<QString, QByteArray>& files);
  ~ReadOnlyDir();
  ReadOnlyDir(const ReadOnlyDir&) = delete;
  ReadOnlyDir& operator=(const ReadOnlyDir&) = delete;

  const QString& path() const { return path_; }

 private:
  QString path_;
  bool mounted_ = false;
};

/** Sets an environment variable for one scope and puts back what was there. */
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const QByteArray& value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  bool wasSet_;
  QByteArray saved_;
};
