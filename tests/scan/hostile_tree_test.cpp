// Trees a disc may hold on purpose or by accident: links out of the tree, FIFOs, very deep and
// very wide directories, names no one would type, and files that change while the walk runs.

#include <QFile>
#include <QProcess>

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>
#include <filesystem>

#include "base/log.h"
#include "base/text_helpers.h"
#include "platform/ansi_codec.h"
#include "platform/posix_file.h"
#include "platform/raw_directory.h"
#include "walk_fixture.h"

using namespace Qt::StringLiterals;

namespace {

// Tells whether a file was opened after it was set up: a FIFO the walk opened would show here.
class OpenWatch {
 public:
  explicit OpenWatch(const QString& path) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    EXPECT_GE(inotify_add_watch(fd_.get(), QFile::encodeName(path).constData(), IN_OPEN), 0);
  }
  bool opened() const {
    char events[4096];
    return ::read(fd_.get(), events, sizeof events) > 0;
  }

 private:
  UniqueFd fd_;
};

// Removes a tree whose names need not decode, which the temporary directories cannot.
struct RemovedAtEnd {
  QByteArray path;
  ~RemovedAtEnd() {
    std::error_code ignored;
    std::filesystem::remove_all(path.toStdString(), ignored);
  }
};

void writeRawFile(const QByteArray& path, const QByteArray& bytes) {
  const UniqueFd fd(::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
  ASSERT_TRUE(fd.valid()) << path.constData();
  ASSERT_EQ(::write(fd.get(), bytes.constData(), bytes.size()), bytes.size());
}

// The name's bytes as the listing's text gives them back: UTF-8, or Windows-1252 for a name
// that was not valid UTF-8.
QByteArray bytesShownBy(const QString& shown, bool wasUtf8) {
  return wasUtf8 ? shown.toUtf8() : encodeAnsi(shown);
}

}  // namespace

TEST_F(WalkTest, LinksLeavingTheTreeAndFifosNeitherLoopNorHang) {
  const QString outside = TestEnvironment::newTempDir();
  writeMp3Titled(outside + u"/real.mp3"_s, "Outside");
  makeFifo(outside + u"/pipe"_s);
  makeDirectory(root + u"/Sub"_s);
  makeSymlink(outside + u"/real.mp3"_s, root + u"/Sub/outside.mp3"_s);
  makeSymlink(outside + u"/pipe"_s, root + u"/Sub/piped.mp3"_s);
  makeSymlink(outside, root + u"/Sub/away.mp3"_s);  // a directory, whatever its name says
  makeSymlink(root + u"/.."_s, root + u"/Sub/up"_s);
  makeFifo(root + u"/x.mp3"_s);
  const OpenWatch fifo(root + u"/x.mp3"_s);
  const OpenWatch linkedFifo(outside + u"/pipe"_s);
  LogCapture log;
  scan();
  EXPECT_EQ(filenames(), QStringList{u"outside.mp3"_s});
  EXPECT_EQ(model->Canciones[1].title, u"Outside"_s);
  EXPECT_EQ(dirnames(), QStringList{root + u"/Sub"_s});
  EXPECT_EQ(log.lines().filter(u"Buscando en "_s),
            (QStringList{u"Buscando en "_s + root, u"Buscando en "_s + root + u"/Sub"_s}));
  EXPECT_TRUE(model->tree.contains(FileNodeKey(root + u"/Sub"_s, u"outside.mp3"_s)));
  EXPECT_FALSE(fifo.opened());
  EXPECT_FALSE(linkedFifo.opened());
}

TEST_F(WalkTest, TwoHundredLevelsAreWalkedToTheBottom) {
  QStringList levels{root};
  for (int level = 1; level <= 200; ++level) {
    levels.append(levels.last() + u"/L"_s);
  }
  writeMp3(levels[100] + u"/middle.mp3"_s);
  writeMp3(levels[200] + u"/bottom.mp3"_s);
  LogCapture log;
  EXPECT_EQ(scan(), WalkStop::None);
  EXPECT_EQ(dirnames(), (QStringList{levels[100], levels[200]}));
  EXPECT_EQ(log.lines().filter(u"Buscando en "_s).size(), 201);
  EXPECT_EQ(nodeAndParent(levels[200]), std::make_pair(u"L"_s, levels[199]));
  EXPECT_EQ(nodeAndParent(FileNodeKey(levels[200], u"bottom.mp3"_s)),
            std::make_pair(u"bottom.mp3"_s, levels[200]));
}

TEST(DirectoryWalker, TwentyThousandEntriesInOneDirectory) {
  const QString root = TestEnvironment::newTempDir();
  const QByteArray rootBytes = QFile::encodeName(root);
  for (int i = 0; i < 20000; ++i) {
    // Every twentieth is an MP3 file: a thousand, the most a listing holds.
    writeRawFile(rootBytes + '/' + QByteArray::number(i).rightJustified(5, '0') +
                     (i % 20 == 0 ? ".mp3" : ".dat"),
                 {});
  }
  ListingModel model;
  model.CancionActualNum = 1;
  model.tree.addRoot(root, root, kImageDirectory);
  DirectoryWalker walker(model);
  qint64 files = 0;
  qint64 kilobytes = 0;
  EXPECT_TRUE(walker.DirUtil(WalkPath::fromText(root), 5, files, kilobytes));
  EXPECT_EQ(files, 20000);
  EXPECT_EQ(model.DirActualNum, 1);
  EXPECT_EQ(model.CancionActualNum, kMaxCanciones + 1);
  EXPECT_EQ(model.Canciones[1].filename, u"00000.mp3"_s);
  EXPECT_EQ(model.Canciones[kMaxCanciones].filename, u"19980.mp3"_s);
  EXPECT_EQ(model.tree.nodes().size(), 1u + kMaxCanciones);
}

TEST_F(WalkTest, OddNamesAreListedReadAndFoundAgainByTheirNames) {
  makeDirectory(root);
  const RemovedAtEnd cleanup{QFile::encodeName(root)};
  const QByteArray oddDir = cleanup.path + "/dir\n\t\"'\\{#D}\xe9";
  ASSERT_EQ(::mkdir(oddDir.constData(), 0700), 0);
  const QList<QByteArray> names{"new\nline.mp3", "tab\there.mp3",    "say \"hi\".mp3",
                                "it's.mp3",      "back\\slash.mp3",  "{TD}{3Tit}{.mp3",
                                "caf\xe9.mp3",   "\xff\x81\x80.mp3", "  blanks  .mp3"};
  QList<QByteArray> paths;
  for (const QByteArray& name : names) {
    paths.append(cleanup.path + '/' + name);
  }
  paths.append(oddDir + "/x.mp3");
  for (int k = 0; k < paths.size(); ++k) {
    writeRawFile(paths[k],
                 QByteArray(200, '\0') + id3v1Block({.title = "#" + QByteArray::number(k)}));
  }
  LogCapture log;
  scan();
  ASSERT_EQ(model->NumCancionesMP3, paths.size());
  const QString oddDirShown = displayName(oddDir);
  EXPECT_EQ(dirnames(), (QStringList{root, oddDirShown}));
  EXPECT_TRUE(
      log.lines().contains(u"Directorio "_s + oddDirShown + u" contiene MP3 (directorio # 2)"_s));
  for (int f = 1; f <= model->NumCancionesMP3; ++f) {
    // Each record is the file its title names, under the name the file has.
    const SongRecord& song = model->Canciones[f];
    const QByteArray& path = paths[song.title.sliced(1).toInt()];
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray name = path.sliced(slash + 1);
    const QString shown = displayName(name);
    const QString dirShown = displayName(path.first(slash));
    SCOPED_TRACE(shown.toStdString());
    EXPECT_EQ(song.filename, QuoteToAcute(shown));
    EXPECT_EQ(nodeAndParent(FileNodeKey(dirShown, shown)), std::make_pair(shown, dirShown));
    EXPECT_EQ(bytesShownBy(shown, name.isValidUtf8()), name);
    EXPECT_EQ(bytesShownBy(dirShown, path.first(slash).isValidUtf8()), path.first(slash));
  }
}

TEST_F(WalkTest, FilesThatChangeBetweenListingAndReadingGiveEmptyTags) {
  const QString late = root + u"/Late"_s;
  const QStringList names{u"a-shrinks"_s, u"b-vanishes"_s, u"c-turns-fifo"_s, u"d-turns-dir"_s,
                          u"e-stays"_s};
  for (const QString& name : names) {
    writeMp3Titled(late + u'/' + name + u".mp3"_s, name.toUtf8());
  }
  bool entered = false;
  bool changed = false;
  setLogListSink(
      [&](const QString& line) { entered = entered || line == u"Buscando en "_s + late; });
  // The first pump inside Late comes after its first entry, when the reading of so small a
  // directory has already fetched every name: the files change before any tag is read.
  const WalkStop stop = scan([&] {
    if (entered && !changed) {
      changed = true;
      QFile::resize(late + u"/a-shrinks.mp3"_s, 100);
      QFile::remove(late + u"/b-vanishes.mp3"_s);
      QFile::remove(late + u"/c-turns-fifo.mp3"_s);
      makeFifo(late + u"/c-turns-fifo.mp3"_s);
      QFile::remove(late + u"/d-turns-dir.mp3"_s);
      makeDirectory(late + u"/d-turns-dir.mp3"_s);
    }
    return true;
  });
  setLogListSink({});
  EXPECT_EQ(stop, WalkStop::None);
  ASSERT_TRUE(changed);
  ASSERT_EQ(model->NumCancionesMP3, 5);
  for (int f = 1; f <= 4; ++f) {
    EXPECT_EQ(model->Canciones[f].filename, names[f - 1] + u".mp3"_s);
    EXPECT_EQ(model->Canciones[f].title, QString());
    EXPECT_EQ(model->Canciones[f].track, u"0"_s);
  }
  EXPECT_EQ(model->Canciones[5].title, u"e-stays"_s);
}

TEST(ScanCommand, HostileStartDirectoryGivenAsRawBytesIsScannedAndExportedByteForByte) {
  const QString programDir = TestEnvironment::newTempDir();
  const QString program = programDir + u"/quillet"_s;
  ASSERT_TRUE(QFile::copy(QStringLiteral(QUILLET_BIN_DIR "/quillet"), program));
  writeFile(programDir + u"/config.ini"_s, "[log]\r\nlogfile=cli.log\r\n");
  const QString work = TestEnvironment::newTempDir();
  const RemovedAtEnd cleanup{QFile::encodeName(work)};
  const QByteArray start = cleanup.path + "/caf\xe9";
  ASSERT_EQ(::mkdir(start.constData(), 0700), 0);
  writeRawFile(start + "/new\nline.mp3", QByteArray(200, '\0') + id3v1Block({.title = "Uno"}));
  writeRawFile(start + "/t\xe9.mp3", {});
  ASSERT_EQ(::mkfifo(start + "/x.mp3", 0600), 0);
  ASSERT_EQ(::symlink("..", start + "/loop"), 0);

  // The start directory's name is not UTF-8, so it goes through the shell as bytes.
  QProcess process;
  process.setWorkingDirectory(work);
  process.start(u"/bin/sh"_s,
                {u"-c"_s,
                 u"exec \"$0\" scan \"$(printf 'caf\\351')\" --dir-design '{#D} {TD}' "
                 u"--file-design '{#F} {TF} {3Tit}'"_s,
                 program});
  ASSERT_TRUE(process.waitForFinished(30000));
  EXPECT_EQ(process.exitCode(), 0);
  EXPECT_EQ(process.readAllStandardError(), QByteArray());
  EXPECT_EQ(process.readAllStandardOutput(),
            "1 " + start + "\r\n1 new\nline Uno\r\n2 t\xe9 \r\n\r\n");
  const QByteArray log = readFile(programDir + u"/cli.log"_s);
  EXPECT_EQ(log.count("Buscando en "), 1);
  EXPECT_TRUE(log.contains("Directorio " + start + " contiene MP3 (directorio # 1)\r\n"));
}
