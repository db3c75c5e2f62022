#include "platform/output_file.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <thread>

#include "support/fixtures.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

QByteArray raw(const QString& path) {
  return QFile::encodeName(path);
}

struct stat statusOf(const QString& path) {
  struct stat status {};
  EXPECT_EQ(::lstat(raw(path).constData(), &status), 0) << path.toStdString();
  return status;
}

// Nothing but the named files is left in dir (no temporary file behind).
QStringList entriesOf(const QString& dir) {
  return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

}  // namespace

TEST(OutputFile, RegularFileIsReplacedWholeKeepingItsPermissions) {
  const QString dir = TestEnvironment::newTempDir();
  const QString path = dir + u"/out.txt"_s;
  writeFile(path, "old contents that are longer");
  ASSERT_EQ(::chmod(raw(path).constData(), 0640), 0);
  EXPECT_EQ(writeOutputFile(raw(path), "new"), QString());
  EXPECT_EQ(readFile(path), "new");
  EXPECT_EQ(statusOf(path).st_mode & 07777, 0640u);
  EXPECT_EQ(entriesOf(dir), QStringList({u"out.txt"_s}));

  const mode_t mask = ::umask(022);
  EXPECT_EQ(writeOutputFile(raw(dir + u"/new.txt"_s), "fresh"), QString());
  ::umask(mask);
  EXPECT_EQ(statusOf(dir + u"/new.txt"_s).st_mode & 07777, 0644u);
}

TEST(OutputFile, LinksAreFollowedToTheirFinalTargetAndStayLinks) {
  const QString dir = TestEnvironment::newTempDir();
  writeFile(dir + u"/real/target.txt"_s, "old");
  makeSymlink(u"real/target.txt"_s, dir + u"/first"_s);
  makeSymlink(dir + u"/first"_s, dir + u"/second"_s);
  EXPECT_EQ(writeOutputFile(raw(dir + u"/second"_s), "through two links"), QString());
  EXPECT_EQ(readFile(dir + u"/real/target.txt"_s), "through two links");
  EXPECT_TRUE(S_ISLNK(statusOf(dir + u"/first"_s).st_mode));
  EXPECT_TRUE(S_ISLNK(statusOf(dir + u"/second"_s).st_mode));
  EXPECT_EQ(entriesOf(dir + u"/real"_s), QStringList({u"target.txt"_s}));

  // A link to a missing file creates the file it names.
  makeSymlink(u"real/later.txt"_s, dir + u"/dangling"_s);
  EXPECT_EQ(writeOutputFile(raw(dir + u"/dangling"_s), "made"), QString());
  EXPECT_EQ(readFile(dir + u"/real/later.txt"_s), "made");
  EXPECT_TRUE(S_ISLNK(statusOf(dir + u"/dangling"_s).st_mode));

  makeSymlink(u"loop"_s, dir + u"/loop"_s);
  EXPECT_EQ(writeOutputFile(raw(dir + u"/loop"_s), "x"), u"demasiados enlaces simbólicos"_s);
}

TEST(OutputFile, FifoIsWrittenIntoForItsReader) {
  const QString fifo = TestEnvironment::newTempDir() + u"/pipe"_s;
  makeFifo(fifo);
  QByteArray received;
  std::thread reader([&] {
    QFile file(fifo);
    if (file.open(QIODevice::ReadOnly)) {
      received = file.readAll();
    }
  });
  const QByteArray bytes(200000, 'f');  // more than a pipe holds at once
  EXPECT_EQ(writeOutputFile(raw(fifo), bytes), QString());
  reader.join();
  EXPECT_EQ(received, bytes);
  EXPECT_TRUE(S_ISFIFO(statusOf(fifo).st_mode));
}

TEST(OutputFile, SocketIsConnectedToAndWrittenInto) {
  const QString path = TestEnvironment::newTempDir() + u"/sock"_s;
  const int server = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  ASSERT_GE(server, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, raw(path).constData(), sizeof(address.sun_path) - 1);
  ASSERT_EQ(::bind(server, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
  ASSERT_EQ(::listen(server, 1), 0);
  QByteArray received;
  std::thread reader([&] {
    const int peer = ::accept(server, nullptr, nullptr);
    char buffer[256];
    for (ssize_t n; (n = ::read(peer, buffer, sizeof(buffer))) > 0;) {
      received.append(buffer, n);
    }
    ::close(peer);
  });
  EXPECT_EQ(writeOutputFile(raw(path), "to the socket"), QString());
  reader.join();
  ::close(server);
  EXPECT_EQ(received, "to the socket");
  EXPECT_TRUE(S_ISSOCK(statusOf(path).st_mode));
}

TEST(OutputFile, CharacterDeviceStaysADevice) {
  const QString node = TestEnvironment::newTempDir() + u"/null"_s;
  if (::mknod(raw(node).constData(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
    GTEST_SKIP() << "mknod of a character device is not allowed here: " << std::strerror(errno);
  }
  const QString result = writeOutputFile(raw(node), "discarded");
  if (result == u"permiso denegado"_s) {
    GTEST_SKIP() << "device nodes cannot be opened on this file system";
  }
  EXPECT_EQ(result, QString());
  const struct stat status = statusOf(node);
  EXPECT_TRUE(S_ISCHR(status.st_mode));
  EXPECT_EQ(status.st_rdev, makedev(1, 3));
}

TEST(OutputFile, FailuresSayWhyInSpanishAndLeaveWhatWasThere) {
  const QString dir = TestEnvironment::newTempDir();
  writeFile(dir + u"/file"_s, "kept");
  EXPECT_EQ(writeOutputFile(raw(dir + u"/missing/out.txt"_s), "x"), u"no existe"_s);
  EXPECT_EQ(writeOutputFile(raw(dir + u"/file/out.txt"_s), "x"), u"no es un directorio"_s);
  EXPECT_EQ(writeOutputFile(raw(dir), "x"), u"es un directorio"_s);
  EXPECT_EQ(readFile(dir + u"/file"_s), "kept");
  EXPECT_EQ(entriesOf(dir), QStringList({u"file"_s}));
}

TEST(OutputFile, FullDiskLeavesTheOldFileWhole) {
  const QString mountPoint = TestEnvironment::newTempDir();
  if (::mount("tmpfs", raw(mountPoint).constData(), "tmpfs", 0, "size=64k") != 0) {
    GTEST_SKIP() << "cannot mount a small tmpfs here: " << std::strerror(errno);
  }
  const QString path = mountPoint + u"/out.txt"_s;
  writeFile(path, "the old listing");
  EXPECT_EQ(writeOutputFile(raw(path), QByteArray(256 * 1024, 'x')),
            u"no queda espacio en el dispositivo"_s);
  EXPECT_EQ(readFile(path), "the old listing");
  EXPECT_EQ(entriesOf(mountPoint), QStringList({u"out.txt"_s}));
  EXPECT_EQ(::umount2(raw(mountPoint).constData(), MNT_DETACH), 0);
}

TEST(OutputFile, CreateFileWholeNeverReplacesAnExistingFile) {
  const QString dir = TestEnvironment::newTempDir();
  const QString path = dir + u"/quillet.mdb"_s;
  EXPECT_EQ(createFileWhole(raw(path), "first"), 0);
  EXPECT_EQ(createFileWhole(raw(path), "second"), EEXIST);
  EXPECT_EQ(readFile(path), "first");
  EXPECT_EQ(entriesOf(dir), QStringList({u"quillet.mdb"_s}));
}
