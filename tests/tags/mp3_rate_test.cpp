#include <QFile>
#include <QProcess>

#include "support/audio_fixtures.h"
#include "support/test_env.h"
#include "tags/audio_file_reader.h"

using namespace Qt::StringLiterals;

namespace {

AudioProperties propertiesOf(const QString& path) {
  TagReading reading;
  reading.properties = true;
  const AudioFileRead read = ReadAudioFile(QFile::encodeName(path), reading);
  EXPECT_TRUE(read.properties.has_value()) << path.toStdString();
  return read.properties.value_or(AudioProperties{});
}

// The average bit rate mutagen, Debian's tagging library, reads from the file, in kbit/s.
int mutagenKbps(const QString& path) {
  QProcess python;
  python.start(
      u"/usr/bin/python3"_s,
      {u"-c"_s, u"import sys, mutagen.mp3; print(mutagen.mp3.MP3(sys.argv[1]).info.bitrate)"_s,
       path});
  EXPECT_TRUE(python.waitForFinished(30000));
  return static_cast<int>(qRound(python.readAllStandardOutput().trimmed().toDouble() / 1000.0));
}

// The Xing header as some encoders write it: the frames counted, the bytes not.
void dropXingByteCount(const QString& path) {
  QByteArray bytes = readFile(path);
  const qsizetype at = bytes.indexOf("Xing");
  ASSERT_GT(at, 0);
  bytes[at + 7] = static_cast<char>(bytes[at + 7] & ~0x02);
  writeFile(path, bytes);
}

}  // namespace

// lame at a constant rate, with its "Info" header and without (-t).
TEST(Mp3BitRate, AConstantStreamShowsTheRateOfItsFrames) {
  const QString dir = TestEnvironment::newTempDir();
  std::vector<AudioFixture> files;
  for (const int kbps : {96, 128, 192, 320}) {
    for (const bool xing : {true, false}) {
      files.push_back({u"%1/%2-%3.mp3"_s.arg(dir).arg(kbps).arg(xing),
                       88200,
                       44100,
                       2,
                       {{u"title"_s, u"Tono"_s}},
                       xing,
                       {},
                       kbps});
    }
  }
  makeAudioFiles(files);
  for (const AudioFixture& file : files) {
    EXPECT_EQ(propertiesOf(file.path).kbps, file.kbps) << file.path.toStdString();
  }
}

// lame's variable rate: the average its Xing header gives, and where the header leaves out the
// byte count, the average over the stream without its tags, over the same frames' time.
TEST(Mp3BitRate, AVariableStreamShowsItsAverage) {
  const QString dir = TestEnvironment::newTempDir();
  const AudioFixture counted{dir + u"/counted.mp3"_s,   132300, 44100, 2,
                             {{u"title"_s, u"Tono"_s}}, true,   {},    0};
  AudioFixture uncounted = counted;
  uncounted.path = dir + u"/uncounted.mp3"_s;
  makeAudioFiles({counted, uncounted});
  dropXingByteCount(uncounted.path);
  const AudioProperties header = propertiesOf(counted.path);
  EXPECT_NEAR(header.kbps, mutagenKbps(counted.path), 1);
  const AudioProperties stream = propertiesOf(uncounted.path);
  EXPECT_NEAR(stream.kbps, header.kbps, 1);
  EXPECT_EQ(stream.durationMs, header.durationMs);
  EXPECT_NEAR(static_cast<double>(header.durationMs), 3000.0, 100.0);
}
