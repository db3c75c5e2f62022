#include "scan/directory_walker.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <memory>
#include <tuple>

#include "platform/posix_file.h"
#include "scan/scan_driver.h"
#include "support/fixtures.h"
#include "support/test_env.h"
#include "walk_fixture.h"

using namespace Qt::StringLiterals;

TEST_F(WalkTest, FilesAreOrderedCaseInsensitivelyAndNumberedAcrossDirectories) {
  writeMp3(root + u"/Track10.mp3"_s);
  writeMp3(root + u"/track2.mp3"_s);
  writeMp3(root + u"/Track1.mp3"_s);
  writeMp3(root + u"/Sub/dup.mp3"_s);
  writeMp3(root + u"/Sub/Dup.mp3"_s);
  scan();
  EXPECT_EQ(filenames(), (QStringList{u"Track1.mp3"_s, u"Track10.mp3"_s, u"track2.mp3"_s,
                                      u"Dup.mp3"_s, u"dup.mp3"_s}));
  const DirRecord& second = model->Directorios[2];
  EXPECT_EQ(second.songfrom, 4);
  EXPECT_EQ(second.songto, 5);
  EXPECT_EQ(model->Canciones[3].fileorder, u"3"_s);
  EXPECT_EQ(model->Canciones[4].fileorder, u"1"_s);  // restarts in each directory
  EXPECT_EQ(model->Canciones[5].fileorder, u"2"_s);
  EXPECT_EQ(model->CancionActualNum, 6);
}

TEST_F(WalkTest, DirectoriesWithoutMp3GetNoNumberButStayInTheTree) {
  writeMp3(root + u"/a.mp3"_s);
  writeMp3(root + u"/b/c/x.mp3"_s);
  makeDirectory(root + u"/B2/empty"_s);
  writeMp3(root + u"/a2/y.mp3"_s);
  scan();
  // Depth first, siblings in name order: a2 before b before B2.
  EXPECT_EQ(dirnames(), (QStringList{root, root + u"/a2"_s, root + u"/b/c"_s}));
  EXPECT_EQ(nodeAndParent(root + u"/b/c"_s), std::make_pair(u"c"_s, root + u"/b"_s));
  EXPECT_EQ(nodeAndParent(root + u"/B2/empty"_s), std::make_pair(u"empty"_s, root + u"/B2"_s));
  EXPECT_EQ(model->NumDirectoriosMP3, 3);
  EXPECT_EQ(model->NumCancionesMP3, 3);
}

TEST_F(WalkTest, LogsEverySearchedDirectoryAndEveryNumberedOne) {
  LogCapture log;
  writeMp3(root + u"/a.mp3"_s);
  writeMp3(root + u"/B/C/x.mp3"_s);
  scan();
  const QStringList expected{u"Iniciando proceso..."_s,
                             u"Directorio inicial seleccionado: "_s + root,
                             u"Buscando en "_s + root,
                             u"Directorio "_s + root + u" contiene MP3 (directorio # 1)"_s,
                             u"Buscando en "_s + root + u"/B"_s,
                             u"Buscando en "_s + root + u"/B/C"_s,
                             u"Directorio "_s + root + u"/B/C contiene MP3 (directorio # 2)"_s,
                             u"Finalizado con exito"_s,
                             u"N segundos..."_s,
                             u"Numero de Directorios: 2"_s,
                             u"Numero de MP3: 2"_s};
  EXPECT_EQ(maskElapsedSeconds(log.lines()), expected);
}

TEST_F(WalkTest, RootFileAndDirectoryNodesCarryTheirKeysTextsAndImages) {
  writeMp3(root + u"/01.mp3"_s);
  writeMp3(root + u"/Sub/01.mp3"_s);
  root += u'/';  // a chosen path may end in "/"
  scan();
  const QString start = root.chopped(1);
  const std::vector<TreeNode>& nodes = model->tree.nodes();
  ASSERT_EQ(nodes.size(), 4u);
  EXPECT_EQ(nodes[0].key, start);
  EXPECT_EQ(nodes[0].text, root);
  EXPECT_EQ(nodes[0].image, kImageDirectory);
  EXPECT_EQ(model->FinalName, root);
  EXPECT_EQ(model->FinalType, kMedioDirectorio);
  EXPECT_EQ(model->Directorios[1].dirname, start);
  // The same file name in two directories gives two nodes.
  EXPECT_EQ(nodeAndParent(start + u"/01.mp3"_s), std::make_pair(u"01.mp3"_s, start));
  EXPECT_EQ(nodeAndParent(start + u"/Sub/01.mp3"_s),
            std::make_pair(u"01.mp3"_s, start + u"/Sub"_s));
  EXPECT_EQ(nodes[model->tree.indexOf(start + u"/Sub/01.mp3"_s)].image, kImageMp3);
  EXPECT_EQ(nodes[model->tree.indexOf(start + u"/Sub"_s)].image, kImageDirectory);
}

TEST_F(WalkTest, HiddenEntriesLinksToDirectoriesAndSpecialFilesAreLeftOut) {
  writeMp3(root + u"/.hidden/in-hidden.mp3"_s);
  writeMp3(root + u"/.dot.mp3"_s);
  writeMp3(root + u"/Real/song.mp3"_s);
  makeSymlink(root, root + u"/Real/loop"_s);  // would walk forever if followed
  makeSymlink(root + u"/Real"_s, root + u"/Alias"_s);
  makeSymlink(root + u"/Real/song.mp3"_s, root + u"/linked.mp3"_s);
  makeSymlink(root + u"/nowhere.mp3"_s, root + u"/broken.mp3"_s);
  makeFifo(root + u"/pipe.mp3"_s);
  writeMp3(root + u"/folder.mp3/inner.MP3"_s);
  scan();
  EXPECT_EQ(filenames(), (QStringList{u"linked.mp3"_s, u"inner.MP3"_s, u"song.mp3"_s}));
  EXPECT_EQ(dirnames(), (QStringList{root, root + u"/folder.mp3"_s, root + u"/Real"_s}));
  EXPECT_FALSE(model->tree.contains(root + u"/.hidden"_s));
  EXPECT_FALSE(model->tree.contains(root + u"/Alias"_s));
  EXPECT_FALSE(model->tree.contains(root + u"/Real/loop"_s));
}

TEST_F(WalkTest, RecordsCarryTagTextsWithAcuteAccentsAndUntaggedFilesEmptyTexts) {
  Id3v1Fields fields{.title = "Don't", .artist = "O'Neil", .year = "'99"};
  writeMp3(root + u"/Rock'n/It's.mp3"_s, id3v1Block(fields));
  writeMp3(root + u"/Rock'n/untagged.mp3"_s);
  scan();
  const SongRecord& song = model->Canciones[1];
  EXPECT_EQ(song.title, u"Don\u00B4t"_s);
  EXPECT_EQ(song.artist, u"O\u00B4Neil"_s);
  EXPECT_EQ(song.year, u"\u00B499"_s);
  EXPECT_EQ(song.filename, u"It\u00B4s.mp3"_s);
  EXPECT_EQ(song.track, u"-1"_s);
  EXPECT_EQ(song.genre, u"Blues"_s);
  EXPECT_EQ(model->Directorios[1].dirname, root + u"/Rock'n"_s);
  EXPECT_TRUE(model->tree.contains(root + u"/Rock'n/It's.mp3"_s));
  const SongRecord& untagged = model->Canciones[2];
  EXPECT_EQ(untagged.title, QString());
  EXPECT_EQ(untagged.genre, QString());
  EXPECT_EQ(untagged.track, u"0"_s);
  EXPECT_EQ(untagged.fileorder, u"2"_s);
}

TEST_F(WalkTest, DirectoryNameEndingInBlanksIsTrimmedButItsTagsAreStillRead) {
  writeMp3Titled(root + u"/Band  /song.mp3"_s, "Kept");
  scan();
  EXPECT_EQ(model->Directorios[1].dirname, root + u"/Band"_s);
  EXPECT_EQ(model->Canciones[1].title, u"Kept"_s);
  EXPECT_TRUE(model->tree.contains(root + u"/Band/song.mp3"_s));
}

TEST_F(WalkTest, NamesThatAreNotUtf8AreWalkedListedAndRead) {
  makeDirectory(root);
  const RawFile file(QFile::encodeName(root) + "/Caf\xe9.mp3", id3v1Block({.title = "Raw"}));
  scan();
  EXPECT_EQ(filenames(), QStringList{u"Caf\u00E9.mp3"_s});
  EXPECT_EQ(model->Canciones[1].title, u"Raw"_s);
}

TEST_F(WalkTest, UnreadableDirectoryIsLoggedAndContributesNothing) {
  // Nested through relative calls until the whole path is too long to open by name: a
  // directory that cannot be read even by root.
  makeDirectory(root + u"/Deep"_s);
  const QByteArray name(200, 'd');
  UniqueFd dir(::open(QFile::encodeName(root + u"/Deep"_s).constData(), O_RDONLY | O_DIRECTORY));
  for (int level = 0; level < 25 && dir.valid(); ++level) {
    ASSERT_EQ(::mkdirat(dir.get(), name.constData(), 0700), 0);
    dir = UniqueFd(::openat(dir.get(), name.constData(), O_RDONLY | O_DIRECTORY));
  }
  ASSERT_TRUE(dir.valid());
  ::close(::openat(dir.get(), "x.mp3", O_WRONLY | O_CREAT, 0600));
  writeMp3(root + u"/Open/y.mp3"_s);
  LogCapture log;
  scan();
  QProcess::execute(u"rm"_s, {u"-rf"_s, root + u"/Deep"_s});  // Qt cannot remove it
  EXPECT_EQ(dirnames(), QStringList{root + u"/Open"_s});
  const QStringList searched = log.lines().filter(u"Buscando en "_s);
  EXPECT_TRUE(std::any_of(searched.cbegin(), searched.cend(),
                          [](const QString& line) { return line.size() > 4096; }));
  EXPECT_EQ(model->NumCancionesMP3, 1);
}

TEST_F(WalkTest, WalkStopsCleanlyWhenThePumpSaysSo) {
  writeMp3(root + u"/a/1.mp3"_s);
  writeMp3(root + u"/b/2.mp3"_s);
  LogCapture log;
  // Stops at the first pump once the start directory's subdirectories are in the tree.
  const WalkStop stop = scan([&] { return !model->tree.contains(root + u"/b"_s); });
  EXPECT_EQ(stop, WalkStop::Cancelled);
  EXPECT_EQ(log.lines().last(), u"Proceso interrumpido"_s);
  EXPECT_EQ(model->NumDirectoriosMP3, model->DirActualNum);
  EXPECT_EQ(model->NumCancionesMP3, model->CancionActualNum - 1);
  EXPECT_LT(model->NumDirectoriosMP3, 2);
}

TEST_F(WalkTest, StopsAtTheDirectoryLimitWithOneLogLine) {
  for (int d = 0; d <= kMaxDirectorios; ++d) {
    writeMp3(root + u"/d%1/s.mp3"_s.arg(d, 3, 10, QLatin1Char('0')));
  }
  LogCapture log;
  EXPECT_EQ(scan(), WalkStop::DirectoryLimit);
  EXPECT_EQ(model->NumDirectoriosMP3, kMaxDirectorios);
  EXPECT_EQ(model->NumCancionesMP3, kMaxDirectorios);
  EXPECT_EQ(model->Directorios[kMaxDirectorios].dirname, root + u"/d499"_s);
  EXPECT_EQ(log.lines().filter(u"límite"_s),
            QStringList{u"Se ha alcanzado el límite del listado (500 directorios con MP3): quedan "
                        u"fuera: 1 directorios con MP3 y 1 archivos MP3. Para listarlos todos, "
                        u"elija «Sin límite» en «Tamaño de los listados» (Opciones...)"_s});
  EXPECT_TRUE(log.lines().contains(u"Numero de Directorios: 500"_s));
}

TEST_F(WalkTest, StopsAtTheFileLimitCuttingTheLastDirectoryShort) {
  for (int f = 0; f < 600; ++f) {
    writeMp3(root + u"/a/%1.mp3"_s.arg(f, 4, 10, QLatin1Char('0')));
    writeMp3(root + u"/b/%1.mp3"_s.arg(f, 4, 10, QLatin1Char('0')));
  }
  LogCapture log;
  EXPECT_EQ(scan(), WalkStop::SongLimit);
  EXPECT_EQ(model->NumCancionesMP3, kMaxCanciones);
  EXPECT_EQ(model->NumDirectoriosMP3, 2);
  EXPECT_EQ(model->Directorios[2].songfrom, 601);
  EXPECT_EQ(model->Directorios[2].songto, kMaxCanciones);
  EXPECT_EQ(model->Canciones[kMaxCanciones].filename, u"0399.mp3"_s);
  EXPECT_EQ(log.lines().filter(u"límite"_s).size(), 1);
}

// Past the cap the walk only counts: every MP3 directory and file it did not list, and nothing
// else, neither log lines nor tree nodes.
TEST_F(WalkTest, TheCapsLineCountsWhatItLeftOutAfterTheCut) {
  for (int f = 0; f < 600; ++f) {
    writeMp3(root + u"/a/%1.mp3"_s.arg(f, 4, 10, QLatin1Char('0')));
    writeMp3(root + u"/b/%1.mp3"_s.arg(f, 4, 10, QLatin1Char('0')));
  }
  writeMp3(root + u"/b/deeper/x.mp3"_s);
  writeMp3(root + u"/c/1.mp3"_s);
  writeMp3(root + u"/c/2.mp3"_s);
  writeFile(root + u"/c/notes.txt"_s, "x");
  makeDirectory(root + u"/d/empty"_s);
  LogCapture log;
  ScanRun run(*model);
  makeDirectory(root);
  EXPECT_EQ(run.walk(rootDirectoryScan(*model, WalkPath::fromText(root)), {}), WalkStop::SongLimit);
  // b's last 200 files; b/deeper and c wholly.
  EXPECT_EQ(run.leftOut().directories, 2);
  EXPECT_EQ(run.leftOut().files, 203);
  const QStringList lines = maskElapsedSeconds(log.lines());
  EXPECT_EQ(lines.filter(u"Buscando en"_s),
            QStringList({u"Buscando en "_s + root, u"Buscando en "_s + root + u"/a"_s,
                         u"Buscando en "_s + root + u"/b"_s}));
  EXPECT_TRUE(lines.filter(u"límite"_s)
                  .value(0)
                  .contains(u"quedan fuera: 2 directorios con MP3 y 203 archivos MP3"_s));
  EXPECT_EQ(lines.indexOf(u"Finalizado con exito"_s),
            lines.indexOf(QRegularExpression(u".*límite.*"_s)) + 1);
  // c's node came with its parent's level, before the cut; nothing below the cut gets one.
  EXPECT_TRUE(model->tree.contains(root + u"/c"_s));
  EXPECT_FALSE(model->tree.contains(root + u"/c/1.mp3"_s));
  EXPECT_FALSE(model->tree.contains(root + u"/b/deeper"_s));
}

// The brute-force listing of a tree: every directory holding MP3 files, each with its MP3 files'
// names, in no particular order.
QStringList bruteForceListing(const QString& root) {
  QStringList entries;
  QDirIterator dirs(root, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
  QStringList all{root};
  while (dirs.hasNext()) {
    all.append(dirs.next());
  }
  for (const QString& dir : all) {
    for (const QString& name : QDir(dir).entryList({u"*.mp3"_s}, QDir::Files)) {
      entries.append(dir + u'/' + name);
    }
  }
  entries.sort();
  return entries;
}

TEST_F(WalkTest, WithoutLimitsEveryMp3OfATreeOverBothLimitsIsListedAndNumbered) {
  for (int d = 0; d < 520; ++d) {
    writeMp3(root + u"/%1/%2/s.mp3"_s.arg(d % 7).arg(d, 3, 10, QLatin1Char('0')));
  }
  for (int f = 0; f < 700; ++f) {
    writeMp3(root + u"/big/%1.mp3"_s.arg(f, 4, 10, QLatin1Char('0')));
  }
  LogCapture log;
  makeDirectory(root);
  EXPECT_EQ(RunDirectoryScan(*model, WalkPath::fromText(root), {}, {}, ListingLimits::None),
            WalkStop::None);
  EXPECT_TRUE(log.lines().filter(u"límite"_s).isEmpty());
  ASSERT_EQ(model->NumDirectoriosMP3, 521);
  ASSERT_EQ(model->NumCancionesMP3, 1220);

  QStringList listed;
  int next = 1;
  for (int d = 1; d <= model->NumDirectoriosMP3; ++d) {
    const DirRecord& dir = model->Directorios[d];
    EXPECT_EQ(dir.songfrom, next);
    for (int f = dir.songfrom; f <= dir.songto; ++f) {
      const SongRecord& song = model->Canciones[f];
      EXPECT_EQ(song.fileorder, QString::number(f - dir.songfrom + 1));
      const QString key = FileNodeKey(dir.dirname, song.filename);
      EXPECT_TRUE(model->tree.contains(key)) << key.toStdString();
      listed.append(key);
    }
    next = dir.songto + 1;
  }
  EXPECT_EQ(next, 1221);
  listed.sort();
  EXPECT_EQ(listed, bruteForceListing(root));
}

TEST_F(WalkTest, DirectoryFoundAfterTheLastFreeFileGetsNoRecord) {
  for (int f = 0; f < kMaxCanciones; ++f) {
    writeMp3(root + u"/a/%1.mp3"_s.arg(f, 4, 10, QLatin1Char('0')));
  }
  writeMp3(root + u"/b/late.mp3"_s);
  EXPECT_EQ(scan(), WalkStop::SongLimit);
  EXPECT_EQ(model->NumDirectoriosMP3, 1);
  EXPECT_EQ(model->Directorios[2].dirname, QString());
}

TEST(DirectoryWalker, TotalsCountPlainFilesAndRoundSizesPerDirectory) {
  const QString root = TestEnvironment::newTempDir();
  writeFile(root + u"/a/one.dat"_s, QByteArray(750, 'x'));
  writeFile(root + u"/a/two.mp3"_s, QByteArray(750, 'x'));
  writeFile(root + u"/a/.hidden"_s, QByteArray(5000, 'x'));
  writeFile(root + u"/b/three.dat"_s, QByteArray(1500, 'x'));
  makeSymlink(root + u"/b/three.dat"_s, root + u"/b/link.dat"_s);
  makeFifo(root + u"/b/pipe"_s);
  ListingModel model;
  model.CancionActualNum = 1;
  model.tree.addRoot(root, root, kImageDirectory);
  DirectoryWalker walker(model, {}, EntrySizes::Read);
  qint64 files = 0;
  qint64 kilobytes = 0;
  EXPECT_TRUE(walker.DirUtil(WalkPath::fromText(root), 5, files, kilobytes));
  EXPECT_EQ(files, 4);
  EXPECT_EQ(kilobytes, 1 + 3);  // 1500 B -> 1 KB, 3000 B -> 3 KB; per file it would be 5
}

TEST(WalkPath, RootKeepsItsSlashAndRelativePathsJoinTheCurrentDirectory) {
  const WalkPath root = WalkPath::fromText(u"/"_s);
  EXPECT_EQ(root.withoutFinalSlash().shown, u"/"_s);
  EXPECT_EQ(root.withFinalSlash().shown, u"/"_s);
  EXPECT_EQ(root.child("usr").shown, u"/usr"_s);
  EXPECT_EQ(WalkPath::fromText(u"/music/"_s).withoutFinalSlash().shown, u"/music"_s);
  const QString cwd = QDir::currentPath();
  EXPECT_EQ(WalkPath::fromText(u"x/./y/"_s).absolute().shown, cwd + u"/x/./y/"_s);
  EXPECT_EQ(WalkPath::fromBytes("/m\xe9").shown, u"/m\u00E9"_s);
}

// A walk without a tree lists the same directories and files, and logs the same lines (a
// damaged file's among them), with the tree left empty.
TEST_F(WalkTest, AWalkWithoutATreeListsAndLogsTheSameAndLeavesTheTreeEmpty) {
  writeMp3(root + u"/a/1.mp3"_s);
  writeMp3(root + u"/a/b/2.mp3"_s);
  writeFile(root + u"/a/b/3.flac"_s, QByteArray(300, 'x'));
  makeDirectory(root);
  const auto walk = [this](TreeNodes tree) {
    LogCapture log;
    model = std::make_unique<ListingModel>();
    ScanRun run(*model);
    TagReading reading;
    reading.files = AudioFiles::All;
    run.walk(rootDirectoryScan(*model, WalkPath::fromText(root), tree), {}, reading);
    return std::tuple{dirnames(), filenames(), maskElapsedSeconds(log.lines())};
  };
  const auto skipped = walk(TreeNodes::Skip);
  EXPECT_TRUE(model->tree.nodes().empty());
  EXPECT_EQ(std::get<2>(skipped).filter(u"3.flac: el archivo está dañado"_s),
            QStringList{u"No se pueden leer las etiquetas de %1/a/b/3.flac: el archivo está "
                        u"dañado o no es del formato que dice su nombre"_s.arg(root)});
  EXPECT_EQ(skipped, walk(TreeNodes::Build));
  EXPECT_EQ(model->tree.nodes().size(), 6u);
}
