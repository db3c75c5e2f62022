#include "support/fixtures.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>

#include "base/log.h"
#include "support/test_env.h"

namespace {

QByteArray padded(const QByteArray& text, int width, char pad) {
  QByteArray field = text.left(width);
  return field + QByteArray(width - field.size(), pad);
}

}  // namespace

QByteArray id3v1Block(const Id3v1Fields& fields) {
  QByteArray block = "TAG";
  block += padded(fields.title, 30, fields.pad);
  block += padded(fields.artist, 30, fields.pad);
  block += padded(fields.album, 30, fields.pad);
  block += padded(fields.year, 4, fields.pad);
  block += padded(fields.comment, 30, fields.pad);
  block += static_cast<char>(fields.genre);
  return block;
}

QByteArray commentWithTrack(const QByteArray& text, quint8 track) {
  return padded(text, 28, '\0') + '\0' + static_cast<char>(track);
}

void writeMp3(const QString& path, const QByteArray& tag) {
  writeFile(path, QByteArray(300, '\xfb') + tag);
}

void writeMp3Titled(const QString& path, const QByteArray& title) {
  writeMp3(path, id3v1Block({.title = title}));
}

void touchLater(const QString& path) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadWrite)) << path.toStdString();
  ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(60),
                               QFileDevice::FileModificationTime));
}

RawFile::RawFile(const QByteArray& path, const QByteArray& bytes) : path_(path) {
  FILE* file = std::fopen(path.constData(), "wb");
  EXPECT_NE(file, nullptr) << path.constData();
  if (file == nullptr) {
    return;
  }
  const std::size_t written = std::fwrite(bytes.constData(), 1, bytes.size(), file);
  std::fclose(file);
  EXPECT_EQ(written, static_cast<std::size_t>(bytes.size()));
}

RawFile::~RawFile() {
  ::unlink(path_.constData());
}

void makeDirectory(const QString& path) {
  ASSERT_TRUE(QDir().mkpath(path)) << path.toStdString();
}

void makeSymlink(const QString& target, const QString& linkPath) {
  ASSERT_EQ(
      ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(linkPath).constData()), 0);
}

void makeFifo(const QString& path) {
  ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
}

LogCapture::LogCapture() {
  setLogListSink([this](const QString& line) { lines_.append(line); });
}

LogCapture::~LogCapture() {
  setLogListSink({});
}
