#include "scan/source_identity.h"

#include "db/listing_properties.h"
#include "db/listing_store.h"
#include "db/listing_update.h"
#include "db/mod_bd.h"
#include "db/original_place.h"
#include "db/source_store.h"
#include "db/stored_listings.h"
#include "platform/cd_drive.h"
#include "platform/disc_images.h"
#include "scan/scan_driver.h"
#include "support/fixtures.h"
#include "support/listing_db_fixture.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

const QString kSourceRows =
    u"SELECT (SELECT count(*) FROM origen), (SELECT count(*) FROM origen_archivos)"_s;

// A folder of small files that pass for MP3 files: the identity needs names and sizes only.
QString makeTree(const QString& root, const QStringList& files) {
  for (const QString& file : files) {
    writeFile(root + u'/' + file, QByteArray(100 + file.size(), 'x'));
  }
  return root;
}

std::unique_ptr<ListingModel> scanned(const QString& root) {
  auto model = std::make_unique<ListingModel>();
  RunDirectoryScan(*model, WalkPath::fromText(root));
  return model;
}

// An ISO image by xorriso whose creation time, the UUID libblkid gives, is date.
QString discImage(const QString& xorriso, const QString& label, const QString& date) {
  const QString image = TestEnvironment::newTempDir() + u"/disc.iso"_s;
  runTool(xorriso, {u"-report_about"_s, u"FAILURE"_s, u"-outdev"_s, image, u"-volid"_s, label,
                    u"-volume_date"_s, u"uuid"_s, date, u"-map"_s, discContent(), u"/"_s});
  return image;
}

// The machine's mounts as one test's own table says.
class MountTable {
 public:
  MountTable() : dir_(TestEnvironment::newTempDir()) {}
  ~MountTable() { setCdDriveSources(systemCdDriveSources()); }
  void mount(const QString& source, const QString& point) {
    writeFile(dir_ + u"/mounts"_s, (source + u' ' + point + u" iso9660 ro 0 0\n"_s).toUtf8());
    setCdDriveSources({dir_ + u"/mounts"_s, dir_ + u"/dev"_s, dir_ + u"/sys"_s});
  }

 private:
  QString dir_;
};

class SourceStoreTest : public EngineBdTest {};

}  // namespace

TEST(SourceIdentity, TwoDiscsWithTheSameGenericLabelAreToldApart) {
  REQUIRE_TOOL(xorriso, "xorriso");
  const VolumeIdentity first =
      volumeIdentityOfDevice(discImage(xorriso, u"AUDIO_CD"_s, u"2020010112000000"_s), {});
  const VolumeIdentity second =
      volumeIdentityOfDevice(discImage(xorriso, u"AUDIO_CD"_s, u"2021020312000000"_s), {});
  EXPECT_EQ(first.type, u"iso9660"_s);
  EXPECT_EQ(first.label, u"AUDIO_CD"_s);
  EXPECT_EQ(second.label, first.label);
  EXPECT_FALSE(first.uuid.isEmpty());
  EXPECT_NE(first.uuid, second.uuid);
  EXPECT_GT(first.size, 0);
  SourceIdentity a;
  a.volume = first;
  SourceIdentity b;
  b.volume = second;
  EXPECT_TRUE(sameSource(a, kMedioCd, a, kMedioCd));
  EXPECT_FALSE(sameSource(a, kMedioCd, b, kMedioCd));
}

// A socket cannot be opened, whoever asks: it stands for a disk a normal user may not read.
TEST(SourceIdentity, ADeviceThatCannotBeOpenedIsNamedByItsUdevLink) {
  const QString dir = TestEnvironment::newTempDir();
  runTool(u"python3"_s,
          {u"-c"_s, u"import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])"_s,
           dir + u"/sda1"_s});
  makeDirectory(dir + u"/by-uuid"_s);
  ASSERT_TRUE(QFile::link(dir + u"/sda1"_s, dir + u"/by-uuid/1234-ABCD"_s));
  const VolumeIdentity identity = volumeIdentityOfDevice(dir + u"/sda1"_s, dir + u"/by-uuid"_s);
  EXPECT_FALSE(identity.readable);
  EXPECT_EQ(identity.uuid, u"1234-ABCD"_s);
}

TEST(SourceIdentity, AFolderIsRecognisedAfterItsDiskIsMountedElsewhere) {
  REQUIRE_TOOL(xorriso, "xorriso");
  const QString disk = discImage(xorriso, u"DATOS"_s, u"2022010112000000"_s);
  const QString here = TestEnvironment::newTempDir();
  const QString there = TestEnvironment::newTempDir();
  MountTable mounts;
  mounts.mount(disk, here);
  const auto before = scanned(makeTree(here + u"/Musica"_s, {u"a/1.mp3"_s, u"b/2.mp3"_s}));
  EXPECT_EQ(before->source.relativePath, u"Musica"_s);
  EXPECT_EQ(before->source.path, here + u"/Musica"_s);
  mounts.mount(disk, there);
  // One file more, so the signature alone would not tell it.
  const auto after =
      scanned(makeTree(there + u"/Musica"_s, {u"a/1.mp3"_s, u"b/2.mp3"_s, u"c/3.mp3"_s}));
  EXPECT_NE(after->source.signature, before->source.signature);
  EXPECT_TRUE(sameSource(before->source, kMedioDirectorio, after->source, kMedioDirectorio));
  const auto elsewhere = scanned(makeTree(there + u"/Otra"_s, {u"x.mp3"_s}));
  EXPECT_FALSE(sameSource(before->source, kMedioDirectorio, elsewhere->source, kMedioDirectorio));
}

TEST(SourceIdentity, EachKindOfChangeGivesAnotherSignature) {
  const QString root = makeTree(TestEnvironment::newTempDir(), {u"a/1.mp3"_s, u"a/2.mp3"_s});
  const QString signature = scanned(root)->source.signature;
  EXPECT_EQ(scanned(root)->source.signature, signature);
  // Added, removed, resized, renamed: each leaves a tree not seen before.
  const std::vector<std::function<void()>> changes{
      [&] { writeFile(root + u"/a/3.mp3"_s, "x"); }, [&] { QFile::remove(root + u"/a/2.mp3"_s); },
      [&] { writeFile(root + u"/a/1.mp3"_s, "otro tamaño"); },
      [&] { QFile::rename(root + u"/a/3.mp3"_s, root + u"/a/4.mp3"_s); }};
  QStringList seen{signature};
  for (const auto& change : changes) {
    change();
    const QString now = scanned(root)->source.signature;
    EXPECT_FALSE(seen.contains(now));
    seen.append(now);
  }
}

TEST_P(SourceStoreTest, AStoredFolderIsRecognisedAndItsRowsGoWithIt) {
  const QString root = makeTree(TestEnvironment::newTempDir(), {u"a/1.mp3"_s, u"b/2.mp3"_s});
  const auto first = scanned(root);
  QString error;
  EXPECT_TRUE(storedSourcesMatching(*first, error).empty());
  const StoreResult stored = Save2bd(*first);
  ASSERT_TRUE(stored.ok()) << stored.error.toStdString();
  EXPECT_EQ(rows(kSourceRows), QStringList{u"1|2"_s});
  const auto again = scanned(root);
  const std::vector<StoredSource> matches = storedSourcesMatching(*again, error);
  ASSERT_EQ(matches.size(), 1U) << error.toStdString();
  EXPECT_EQ(matches[0].rpId, stored.rp_id);
  EXPECT_EQ(matches[0].identity.path, root);
  EXPECT_EQ(matches[0].identity.choices, scanChoicesText({}, ListingLimits::Classic));
  EXPECT_EQ(matches[0].identity.readerVersion, kTagReaderVersion);
  ASSERT_TRUE(Save2bd(*again).ok());
  EXPECT_EQ(recognitionText(storedSourcesMatching(*again, error), again->source)
                .startsWith(u"Ya está catalogado como nº "_s),
            true);
  EXPECT_TRUE(
      recognitionText(storedSourcesMatching(*again, error), again->source).contains(u" y 1 más"_s));
  ASSERT_EQ(deleteStoredListing(stored.rp_id), QString());
  ASSERT_EQ(deleteStoredListing(stored.rp_id + 1), QString());
  EXPECT_EQ(rows(kSourceRows), QStringList{u"0|0"_s});
}

// The stamps go in a few hundred rows a statement: each file's, a file without one skipped,
// across every statement's edge.
TEST_P(SourceStoreTest, EveryFileStampIsWrittenWhateverTheirNumber) {
  const StoreResult stored =
      Save2bd(*scanned(makeTree(TestEnvironment::newTempDir(), {u"a/1.mp3"_s})));
  ASSERT_TRUE(stored.ok()) << stored.error.toStdString();
  SourceIdentity source;
  source.path = u"/música"_s;
  for (const int files : {1, 200, 201, 450}) {
    FileStamps stamps;
    QStringList expected;
    for (int file = 1; file <= files; ++file) {
      if (file % 7 != 3) {
        stamps.set(file, {file * 10, 1000 + file});
        expected.append(u"%1|%2|%3"_s.arg(file).arg(file * 10).arg(1000 + file));
      }
    }
    ASSERT_EQ(storeSourceIdentity(stored.rp_id, source, stamps, files, u"hoy"_s, u"hoy"_s),
              QString());
    EXPECT_EQ(rows(u"SELECT filegenorder, bytes, modificado FROM origen_archivos ORDER BY "
                   u"filegenorder"_s),
              expected)
        << files;
  }
}

// The folder of a stored directory is found on its disk wherever that is mounted, never on
// another disc under the same label; while it is not there, the disc is asked for.
TEST_P(SourceStoreTest, TheOriginalIsFoundByItsIdentityWhereverItIsMounted) {
  REQUIRE_TOOL(xorriso, "xorriso");
  const QString disk = discImage(xorriso, u"DATOS"_s, u"2022010112000000"_s);
  const QString other = discImage(xorriso, u"DATOS"_s, u"2023010112000000"_s);
  const QString here = TestEnvironment::newTempDir();
  const QString there = TestEnvironment::newTempDir();
  MountTable mounts;
  mounts.mount(disk, here);
  ASSERT_TRUE(Save2bd(*scanned(makeTree(here + u"/Musica"_s, {u"a/1.mp3"_s}))).ok());
  const OriginalRequest request{1, u"Musica"_s, kMedioDirectorio, here + u"/Musica/a"_s};
  EXPECT_EQ(originalFolder(request), here + u"/Musica/a"_s);
  makeTree(there + u"/Musica"_s, {u"a/1.mp3"_s});
  mounts.mount(disk, there);
  EXPECT_EQ(originalFolder(request), there + u"/Musica/a"_s);
  mounts.mount(other, there);
  EXPECT_EQ(originalFolder(request), QString());
  EXPECT_EQ(insertDiscText(request), u"Inserte el disco nº 1 «Musica»"_s);
  ASSERT_EQ(writeListingProperties(1, {.ubicacion = u"Caja 3"_s}), QString());
  EXPECT_EQ(insertDiscText(request), u"Inserte el disco nº 1 «Musica» (Ubicación: Caja 3)"_s);

  // A listing stored before sources were kept is looked for at its stored folder only.
  ASSERT_TRUE(BdConnection().Execute(u"INSERT INTO reports VALUES (2,'Viejo',2,'Viejo')"_s));
  EXPECT_EQ(originalFolder({2, u"Viejo"_s, kMedioDirectorio, there + u"/Musica"_s}),
            there + u"/Musica"_s);
  EXPECT_EQ(originalFolder({2, u"Viejo"_s, kMedioDirectorio, there + u"/Falta"_s}), QString());
}

TEST_P(SourceStoreTest, AnUpdateFindsItsFolderWhereverItsDiskIsMountedAndAsksForItElse) {
  REQUIRE_TOOL(xorriso, "xorriso");
  const QString disk = discImage(xorriso, u"DATOS"_s, u"2022010112000000"_s);
  const QString here = TestEnvironment::newTempDir();
  const QString there = TestEnvironment::newTempDir();
  MountTable mounts;
  mounts.mount(disk, here);
  const StoreResult stored = Save2bd(*scanned(makeTree(here + u"/Musica"_s, {u"a/1.mp3"_s})));
  ASSERT_TRUE(stored.ok());
  mounts.mount(disk, there);
  makeTree(there + u"/Musica"_s, {u"a/1.mp3"_s});
  QString error;
  const std::optional<UpdatePlan> found = planUpdate({stored.rp_id, {}, false, true}, {}, error);
  ASSERT_TRUE(found) << error.toStdString();
  EXPECT_EQ(found->root, there + u"/Musica"_s);
  // Another disc under the same label is named as the wrong one, and the right one asked for.
  const QString wrong = discImage(xorriso, u"DATOS"_s, u"2023010112000000"_s);
  mounts.mount(wrong, there);
  EXPECT_FALSE(planUpdate({stored.rp_id, {}, false, true}, {}, error));
  EXPECT_EQ(error, u"El disco insertado «DATOS» (UUID %1) no es el que se pide. "_s.arg(
                       volumeIdentityOfDevice(wrong, {}).uuid) +
                       u"Inserte el disco nº %1 «%2»"_s.arg(stored.rp_id).arg(here + u"/Musica"_s));
}

INSTANTIATE_ON_BOTH_ENGINES(SourceStoreTest);

TEST(SourceTables, AnOlderFileGainsThemOnOpenWithoutANewVersion) {
  const QString dir = installProgramFiles();
  const QString source = QStringLiteral(QUILLET_SOURCE_DIR) + u"/resources/"_s;
  runTool(u"sqlite3"_s,
          {u"-bail"_s, dir + u"/quillet.mdb"_s, u".read "_s + source + u"schema.sql"_s,
           u".read "_s + source + u"search_index.sql"_s,
           u".read "_s + source + u"technical_fields.sql"_s,
           u".read "_s + source + u"listing_totals.sql"_s});
  const QStringList version = queryRows(dir + u"/quillet.mdb"_s, u"PRAGMA user_version"_s);
  ASSERT_EQ(OpenBd(), QString());
  const QString objects = u"SELECT type, name, sql FROM sqlite_master ORDER BY name"_s;
  const QString blank = QStringLiteral(QUILLET_BIN_DIR) + u"/bd-acces2k.blank"_s;
  EXPECT_EQ(queryRows(BdPath(), objects), queryRows(blank, objects));
  EXPECT_EQ(queryRows(BdPath(), u"PRAGMA user_version"_s), version);
  CloseBd();
}
