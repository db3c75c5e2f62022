#pragma once

#include "support/test_env.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QStringList>

// Disc images made by the real mastering tools, so the label reader meets what they write.

/** The tool's full path, also looked for in the sbin folders; empty when it is not installed. */
inline QString findTool(const QString& name) {
  const QString onPath = QStandardPaths::findExecutable(name);
  return onPath.isEmpty() ? QStandardPaths::findExecutable(
                                name, {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")})
                          : onPath;
}

// Skips the test, with the reason, when a tool is not installed.
#define REQUIRE_TOOL(path, name)                       \
  const QString path = findTool(QStringLiteral(name)); \
  if (path.isEmpty()) {                                \
    GTEST_SKIP() << name " is not installed";          \
  }

/** Runs the tool in a UTF-8 locale and returns what it printed; fails the test unless it
 *  succeeds. */
inline QByteArray runTool(const QString& program, const QStringList& arguments) {
  QProcess process;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
  process.setProcessEnvironment(env);
  process.start(program, arguments);
  const bool finished = process.waitForFinished(60000);
  const QByteArray output = process.readAllStandardOutput();
  EXPECT_TRUE(finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
      << program.toStdString() << ": " << process.readAllStandardError().toStdString();
  return output;
}

/** A folder with one small file, the content of the images. */
inline QString discContent() {
  const QString dir = TestEnvironment::newTempDir();
  writeFile(dir + QStringLiteral("/pista01.mp3"), QByteArray(3000, 'x'));
  return dir;
}

/** An ISO 9660 image by xorriso, with or without Joliet. */
inline QString makeIsoImage(const QString& xorriso, const QString& label, bool joliet) {
  const QString image = TestEnvironment::newTempDir() + QStringLiteral("/disc.iso");
  runTool(xorriso,
          {QStringLiteral("-report_about"), QStringLiteral("FAILURE"), QStringLiteral("-outdev"),
           image, QStringLiteral("-volid"), label, QStringLiteral("-joliet"),
           joliet ? QStringLiteral("on") : QStringLiteral("off"), QStringLiteral("-map"),
           discContent(), QStringLiteral("/")});
  return image;
}

/** An empty UDF file system by mkudffs, in a 4 MiB file. */
inline QString makeUdfImage(const QString& mkudffs, const QStringList& options) {
  const QString image = TestEnvironment::newTempDir() + QStringLiteral("/disc.udf");
  QFile file(image);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(4 << 20));
  file.close();
  runTool(mkudffs, options + QStringList{image});
  return image;
}
