#include "platform/cd_drive.h"

#include "platform/disc_images.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace {

// A machine of the test's own: device nodes, kernel block list and mount table are files in a
// temporary folder, and the "devices" are disc images.
class CdDriveTest : public testing::Test {
 protected:
  void SetUp() override {
    root_ = TestEnvironment::newTempDir();
    QDir(root_).mkpath(u"dev"_s);
    QDir(root_).mkpath(u"sys/block"_s);
    setCdDriveSources({path(u"mounts"_s), path(u"dev"_s), path(u"sys/block"_s)});
  }
  void TearDown() override { setCdDriveSources(systemCdDriveSources()); }

  QString path(const QString& name) const { return root_ + u'/' + name; }
  void addDevice(const QString& name, const QByteArray& bytes = {}) {
    writeFile(path(u"dev/"_s + name), bytes);
  }
  void writeMounts(const QString& table) { writeFile(path(u"mounts"_s), table.toUtf8()); }

  QString root_;
};

}  // namespace

TEST_F(CdDriveTest, NoOpticalDeviceMeansNoDrive) {
  for (const QString& other : {u"sda"_s, u"sr"_s, u"srx"_s, u"sr01"_s, u"loop0"_s}) {
    addDevice(other);
  }
  writeMounts(path(u"dev/sda"_s) + u" / ext4 rw 0 0\n"_s);
  const CdDrive drive = findCdDrive();
  EXPECT_EQ(drive.state, CdDriveState::NoDrive);
  EXPECT_EQ(drive.root, QString());
  EXPECT_EQ(GetVolumeLabel(drive.root), QString());
}

TEST_F(CdDriveTest, DriveWithoutMountedDiscIsTheFirstDeviceAndHasNoLabel) {
  addDevice(u"sr1"_s);
  writeFile(path(u"sys/block/sr0/size"_s), "0\n");
  writeMounts(u"/dev/sda1 / ext4 rw 0 0\nproc /proc proc rw 0 0\n"_s);
  const CdDrive drive = findCdDrive();
  EXPECT_EQ(drive.state, CdDriveState::NoDisc);
  EXPECT_EQ(drive.device, path(u"dev/sr0"_s));
  EXPECT_EQ(drive.root, path(u"dev/sr0/"_s));
  EXPECT_FALSE(QFileInfo(drive.root).isDir());
  EXPECT_EQ(GetVolumeLabel(drive.root), QString());
}

TEST_F(CdDriveTest, LowestNumberedMountedDriveWinsWhateverTheTableOrder) {
  for (const QString& name : {u"sr0"_s, u"sr2"_s, u"sr10"_s}) {
    addDevice(name);
  }
  writeMounts(path(u"dev/sr10"_s) + u" /media/ten udf ro 0 0\n/dev/sda1 / ext4 rw 0 0\n"_s +
              path(u"dev/sr2"_s) + u" /media/two iso9660 ro 0 0\n"_s);
  const CdDrive drive = findCdDrive();
  EXPECT_EQ(drive.state, CdDriveState::Mounted);
  EXPECT_EQ(drive.device, path(u"dev/sr2"_s));
  EXPECT_EQ(drive.root, u"/media/two/"_s);
}

TEST_F(CdDriveTest, MountedDiscThroughLinkAndEscapedMountPointGivesItsLabel) {
  REQUIRE_TOOL(xorriso, "xorriso");
  addDevice(u"sr0"_s, readFile(makeIsoImage(xorriso, u"Disco Uno"_s, true)));
  ASSERT_TRUE(QFile::link(path(u"dev/sr0"_s), path(u"cdrom"_s)));
  const QString mountPoint = path(u"media/mi disco\tx"_s);
  writeMounts(u"tmpfs /tmp tmpfs rw 0 0\n"_s + path(u"cdrom"_s) + u" "_s +
              path(u"media/mi\\040disco\\011x"_s) + u" iso9660 ro,nosuid 0 0\n"_s);
  const CdDrive drive = findCdDrive();
  EXPECT_EQ(drive.state, CdDriveState::Mounted);
  EXPECT_EQ(drive.root, mountPoint + u'/');
  EXPECT_EQ(GetVolumeLabel(drive.root), u"Disco Uno"_s);
  EXPECT_EQ(GetVolumeLabel(mountPoint), u"Disco Uno"_s);
  EXPECT_EQ(GetVolumeLabel(path(u"media"_s)), QString());
}

TEST_F(CdDriveTest, LabelComesFromTheLastMountOnThePoint) {
  REQUIRE_TOOL(xorriso, "xorriso");
  addDevice(u"sr0"_s, readFile(makeIsoImage(xorriso, u"PRIMERO"_s, false)));
  addDevice(u"sr1"_s, readFile(makeIsoImage(xorriso, u"SEGUNDO"_s, false)));
  writeMounts(path(u"dev/sr0"_s) + u" /media/cd iso9660 ro 0 0\n"_s + path(u"dev/sr1"_s) +
              u" /media/cd iso9660 ro 0 0\n"_s);
  EXPECT_EQ(GetVolumeLabel(u"/media/cd/"_s), u"SEGUNDO"_s);
  writeMounts(path(u"dev/sr0"_s) + u" /media/cd iso9660 ro 0 0\ntmpfs /media/cd tmpfs rw 0 0\n"_s);
  EXPECT_EQ(GetVolumeLabel(u"/media/cd/"_s), QString());
}
