#include "support/audio_fixtures.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

void makeAudioFiles(const std::vector<AudioFixture>& files) {
  QJsonArray fixtures;
  for (const AudioFixture& file : files) {
    QJsonObject tags;
    for (auto it = file.tags.cbegin(); it != file.tags.cend(); ++it) {
      tags.insert(it.key(), it.value());
    }
    for (auto it = file.valueLists.cbegin(); it != file.valueLists.cend(); ++it) {
      tags.insert(it.key(), QJsonArray::fromStringList(it.value()));
    }
    fixtures.append(QJsonObject{{u"path"_s, file.path},
                                {u"samples"_s, file.samples},
                                {u"rate"_s, file.rate},
                                {u"channels"_s, file.channels},
                                {u"tags"_s, tags},
                                {u"xing"_s, file.xing},
                                {u"kbps"_s, file.kbps}});
  }
  // Debian's own Python, which has mutagen, whatever python3 comes first on the path.
  QProcess generator;
  generator.start(u"/usr/bin/python3"_s,
                  {QStringLiteral(QUILLET_SOURCE_DIR "/tests/support/make_audio.py")});
  generator.write(QJsonDocument(fixtures).toJson());
  generator.closeWriteChannel();
  ASSERT_TRUE(generator.waitForFinished(120000));
  ASSERT_EQ(generator.exitCode(), 0) << generator.readAllStandardError().toStdString();
}
