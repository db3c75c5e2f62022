#include <QFileInfo>

#include "scan/scan_notices.h"
#include "support/audio_fixtures.h"
#include "walk_fixture.h"

using namespace Qt::StringLiterals;

namespace {

// An ID3v2.3 header whose size runs far past the file: only the ten bytes are ever looked at.
const QByteArray kId3v2Header("ID3\x03\0\0\x7f\x7f\x7f\x7f", 10);

class AudioWalkTest : public WalkTest {
 protected:
  TagReading reading;

  WalkStop scanWith(AudioFiles files, bool properties = false) {
    makeDirectory(root);
    reading.files = files;
    reading.properties = properties;
    return RunDirectoryScan(*model, WalkPath::fromText(root), {}, reading);
  }

  // One directory of every kind of entry a walk meets, the audio made by real encoders.
  void buildMixedTree() {
    makeAudioFiles({{root + u"/Disco/b.flac"_s,
                     4410,
                     44100,
                     2,
                     {{u"title"_s, u"Don't stop"_s}, {u"track"_s, u"2"_s}}},
                    {root + u"/Disco/c.OGG"_s, 8820, 44100, 2, {{u"artist"_s, u"Ogg"_s}}}});
    writeMp3(root + u"/Disco/A.mp3"_s, id3v1Block({.title = "Mp3"}));
    writeMp3(root + u"/Disco/B.mp3"_s);
    writeFile(root + u"/Disco/notes.txt"_s, "text");
    writeFile(root + u"/Disco/.hidden.flac"_s, "x");
    makeSymlink(root + u"/Disco/b.flac"_s, root + u"/Disco/linked.wv"_s);
    makeFifo(root + u"/Disco/pipe.wav"_s);
    writeMp3(root + u"/Disco/box.m4a/inner.mp3"_s);
  }
};

}  // namespace

TEST_F(AudioWalkTest, AllAudioIsOneSortedSequenceWithTheOtherFormatsTags) {
  buildMixedTree();
  scanWith(AudioFiles::All);
  EXPECT_EQ(filenames(), (QStringList{u"A.mp3"_s, u"b.flac"_s, u"B.mp3"_s, u"c.OGG"_s,
                                      u"linked.wv"_s, u"inner.mp3"_s}));
  EXPECT_EQ(dirnames(), (QStringList{root + u"/Disco"_s, root + u"/Disco/box.m4a"_s}));
  const SongRecord& flac = model->Canciones[2];
  EXPECT_EQ(flac.title, u"Don\u00B4t stop"_s);
  EXPECT_EQ(flac.track, u"2"_s);
  EXPECT_EQ(flac.fileorder, u"2"_s);
  EXPECT_EQ(model->Canciones[4].artist, u"Ogg"_s);
  EXPECT_EQ(model->Canciones[4].track, u"-1"_s);
  EXPECT_EQ(model->Canciones[1].title, u"Mp3"_s);
  EXPECT_TRUE(model->tree.contains(root + u"/Disco/c.OGG"_s));
  EXPECT_FALSE(model->technical.present);
  EXPECT_EQ(model->notices.otherAudio, 0);
}

TEST_F(AudioWalkTest, Mp3OnlyListsAsEverAndCountsWhatItLeavesOut) {
  buildMixedTree();
  writeMp3(root + u"/Disco/v2only.mp3"_s, {});
  writeFile(root + u"/Disco/v2only.mp3"_s, kId3v2Header);
  writeFile(root + u"/Disco/both.mp3"_s,
            kId3v2Header + QByteArray(200, '\0') + id3v1Block({.title = "Both"}));
  LogCapture log;
  scanWith(AudioFiles::Mp3);
  EXPECT_EQ(filenames(),
            (QStringList{u"A.mp3"_s, u"B.mp3"_s, u"both.mp3"_s, u"v2only.mp3"_s, u"inner.mp3"_s}));
  // b.flac, c.OGG and the link; not the hidden file, the FIFO or the directory.
  EXPECT_EQ(model->notices.otherAudio, 3);
  EXPECT_EQ(model->notices.unreadId3v2, 1);
  for (const QString& line : log.lines()) {
    EXPECT_FALSE(line.contains(u"ID3v2"_s) || line.contains(u"formatos"_s)) << line.toStdString();
  }
  const std::vector<ListingNotice> notices = scanNoticesOf(model->notices);
  ASSERT_EQ(notices.size(), 2u);
  EXPECT_EQ(notices[0].key, u"id3v2"_s);
  EXPECT_EQ(notices[0].text,
            u"1 archivo tiene etiquetas ID3v2 que no se leen: elija «ID3v2 y, si falta, ID3v1» "
            u"en Herramientas > Opciones..."_s);
  EXPECT_EQ(notices[1].key, u"formats"_s);
  EXPECT_EQ(notices[1].text,
            u"3 archivos de audio de otros formatos no se listan: elija «Todo el audio» en "
            u"Herramientas > Opciones..."_s);
}

TEST_F(AudioWalkTest, ANoticeWhoseChoiceIsMadeIsNotCounted) {
  writeFile(root + u"/v2only.mp3"_s, kId3v2Header);
  writeFile(root + u"/other.flac"_s, "x");
  reading.source = TagSource::Id3v1ThenId3v2;
  scanWith(AudioFiles::All);
  EXPECT_EQ(model->notices.unreadId3v2, 0);
  EXPECT_EQ(model->notices.otherAudio, 0);
  EXPECT_TRUE(scanNoticesOf(model->notices).empty());
  EXPECT_EQ(scanNoticesOf({2, 1})[0].text.left(48),
            u"2 archivos tienen etiquetas ID3v2 que no se leen"_s);
  EXPECT_EQ(scanNoticesOf({0, 1})[0].text.left(56),
            u"1 archivo de audio de otros formatos no se lista: elija "_s);
}

TEST_F(AudioWalkTest, TechnicalFieldsByFileNumberAndADamagedFileLoggedAndPassedOver) {
  makeAudioFiles({{root + u"/a.flac"_s, 66150, 44100}, {root + u"/c.wav"_s, 22050, 22050, 1}});
  writeFile(root + u"/b.flac"_s, QByteArray(300, 'x'));
  LogCapture log;
  scanWith(AudioFiles::All, true);
  ASSERT_EQ(model->NumCancionesMP3, 3);
  EXPECT_TRUE(model->technical.present);
  ASSERT_NE(model->technical.of(1), nullptr);
  EXPECT_EQ(model->technical.of(1)->durationMs, 1500);
  EXPECT_EQ(model->technical.of(2), nullptr);
  ASSERT_NE(model->technical.of(3), nullptr);
  EXPECT_EQ(model->technical.of(3)->hz, 22050);
  EXPECT_EQ(model->technical.of(3)->channels, 1);
  EXPECT_EQ(model->technical.of(3)->bytes, QFile(root + u"/c.wav"_s).size());
  EXPECT_EQ(model->Canciones[2].title, QString());
  EXPECT_TRUE(
      log.lines().contains(u"No se pueden leer las etiquetas de %1/b.flac: el archivo "
                           u"está dañado o no es del formato que dice su nombre"_s.arg(root)));
}

// Every listed file has its length and time, whichever reader opened it: an MP3 file read
// through ID3v1 alone gives them from the read's own open, the others from the file system.
TEST_F(AudioWalkTest, EveryListedFileHasItsLengthAndTime) {
  buildMixedTree();
  for (const TagSource source : {TagSource::Id3v1, TagSource::Id3v2ThenId3v1}) {
    reading.source = source;
    scanWith(AudioFiles::All);
    ASSERT_EQ(model->NumCancionesMP3, 6);
    for (int dir = 1; dir <= model->NumDirectoriosMP3; ++dir) {
      const DirRecord& record = model->Directorios[dir];
      for (int file = record.songfrom; file <= record.songto; ++file) {
        const QFileInfo info(record.dirname + u'/' + model->Canciones[file].filename);
        const FileStamp* stamp = model->stamps.of(file);
        ASSERT_TRUE(stamp) << info.filePath().toStdString();
        EXPECT_EQ(*stamp, (FileStamp{info.size(), info.lastModified().toSecsSinceEpoch()}))
            << info.filePath().toStdString();
      }
    }
  }
}
