#include "support/read_only_dir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "support/test_env.h"

ReadOnlyDir::ReadOnlyDir(const QString& path, const std::map<QString, QByteArray>& files)
    : path_(path) {
  QDir().mkpath(path);
  const QByteArray native = QFile::encodeName(path);
  if (::geteuid() == 0) {
    mounted_ = ::mount("tmpfs", native.constData(), "tmpfs", 0, "size=4m,mode=755") == 0;
    if (!mounted_) {
      ADD_FAILURE() << "cannot mount a tmpfs on " << native.constData() << ": "
                    << std::strerror(errno);
      return;
    }
  }
  for (const auto& [name, bytes] : files) {
    writeFile(path + u'/' + name, bytes);
  }
  if (mounted_) {
    EXPECT_EQ(::mount(nullptr, native.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0)
        << std::strerror(errno);
  } else {
    ::chmod(native.constData(), 0555);
  }
}

ReadOnlyDir::~ReadOnlyDir() {
  const QByteArray native = QFile::encodeName(path_);
  if (mounted_) {
    ::umount2(native.constData(), MNT_DETACH);
  } else {
    ::chmod(native.constData(), 0755);
  }
}

ScopedEnv::ScopedEnv(const char* name, const QByteArray& value)
    : name_(name), wasSet_(qEnvironmentVariableIsSet(name)), saved_(qgetenv(name)) {
  qputenv(name, value);
}

ScopedEnv::~ScopedEnv() {
  if (wasSet_) {
    qputenv(name_, saved_);
  } else {
    qunsetenv(name_);
  }
}
