#include "platform/volume_label.h"

#include "platform/disc_images.h"

#include <QRandomGenerator>
#include <QtEndian>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kSector = 2048;
constexpr qint64 kPrimaryVolumeIdAt = 16 * kSector + 40;

// What the reader gives for the image, and what blkid, the system's own reading, reports.
void expectSystemLabel(const QString& image, const QString& label) {
  EXPECT_EQ(volumeLabelOfDevice(image), label);
  const QString blkid = findTool(u"blkid"_s);
  if (!blkid.isEmpty()) {
    const QByteArray reported =
        runTool(blkid, {u"-p"_s, u"-o"_s, u"value"_s, u"-s"_s, u"LABEL"_s, image});
    EXPECT_EQ(QString::fromUtf8(reported).trimmed(), label);
  }
}

QByteArray withPrimaryVolumeId(QByteArray image, const QByteArray& id) {
  return image.replace(kPrimaryVolumeIdAt, 32, id.leftJustified(32, ' '));
}

QByteArray le32(quint32 value) {
  QByteArray bytes(4, '\0');
  qToLittleEndian(value, bytes.data());
  return bytes;
}

// A descriptor tag with its checksum, the only kind a UDF reader trusts.
QByteArray udfTag(quint16 id, quint32 location) {
  QByteArray tag(16, '\0');
  qToLittleEndian(id, tag.data());
  qToLittleEndian(location, tag.data() + 12);
  quint8 sum = 0;
  for (int i = 0; i < 16; ++i) {
    sum += uchar(tag[i]);
  }
  tag[4] = char(sum);
  return tag;
}

// A hand-made UDF disc: recognition sequence, anchor, and a logical volume descriptor at block
// 260 whose identifier field is lvId.
QByteArray craftedUdf(quint32 extentBlock, quint32 extentBytes, const QByteArray& lvId) {
  QByteArray image(300 * kSector, '\0');
  image.replace(16 * kSector, 6, "\0BEA01", 6);
  image.replace(17 * kSector, 6, "\0NSR02", 6);
  const QByteArray anchor = udfTag(2, 256) + le32(extentBytes) + le32(extentBlock);
  image.replace(256 * kSector, anchor.size(), anchor);
  const QByteArray lvd = udfTag(6, 260).leftJustified(84, '\0') + lvId.leftJustified(128, '\0');
  image.replace(260 * kSector, lvd.size(), lvd);
  return image;
}

}  // namespace

TEST(VolumeLabel, IsoPrimaryLabelWithoutJoliet) {
  REQUIRE_TOOL(xorriso, "xorriso");
  expectSystemLabel(makeIsoImage(xorriso, u"PLAIN_LABEL 01"_s, false), u"PLAIN_LABEL 01"_s);
  expectSystemLabel(makeIsoImage(xorriso, u"Mi Música Preferida 2024"_s, false),
                    u"Mi Música Preferida 2024"_s);
}

TEST(VolumeLabel, JolietLabelCompletedByTheLongerPrimaryOne) {
  REQUIRE_TOOL(xorriso, "xorriso");
  expectSystemLabel(makeIsoImage(xorriso, u"Mi Musica Preferida 2024"_s, true),
                    u"Mi Musica Preferida 2024"_s);
  // blkid compares the primary label byte by byte and stops at Joliet's 16 characters here.
  EXPECT_EQ(volumeLabelOfDevice(makeIsoImage(xorriso, u"Mi Música Preferida 2024"_s, true)),
            u"Mi Música Preferida 2024"_s);
}

TEST(VolumeLabel, JolietWinsOverAnUpperCasedOrDifferentPrimaryLabel) {
  REQUIRE_TOOL(xorriso, "xorriso");
  const QByteArray image = readFile(makeIsoImage(xorriso, u"Mi Colección 2024"_s, true));
  const QString patched = TestEnvironment::newTempDir() + u"/upper.iso"_s;
  writeFile(patched, withPrimaryVolumeId(image, "MI_COLECCI_N_2024"));
  expectSystemLabel(patched, u"Mi Colección 2024"_s);
  EXPECT_EQ(volumeLabelFromImage(withPrimaryVolumeId(image, "OTRO DISCO")), u"Mi Colección 202"_s);
  // A blank Joliet label leaves the primary one.
  QByteArray blankJoliet = withPrimaryVolumeId(image, "PRIMARIO");
  for (qsizetype at = 17 * kSector + 40; at < 17 * kSector + 72; at += 2) {
    blankJoliet.replace(at, 2, QByteArray("\0 ", 2));
  }
  EXPECT_EQ(volumeLabelFromImage(blankJoliet), u"PRIMARIO"_s);
}

TEST(VolumeLabel, UdfBridgeDiscGivesTheUdfLabel) {
  REQUIRE_TOOL(genisoimage, "genisoimage");
  const QString image = TestEnvironment::newTempDir() + u"/bridge.iso"_s;
  runTool(genisoimage, {u"-quiet"_s, u"-udf"_s, u"-J"_s, u"-V"_s, u"Udf y Joliet"_s, u"-o"_s, image,
                        discContent()});
  expectSystemLabel(image, u"Udf y Joliet"_s);
}

TEST(VolumeLabel, UdfLogicalVolumeIdentifierAtEveryBlockSize) {
  REQUIRE_TOOL(mkudffs, "mkudffs");
  for (const QString& size : {u"512"_s, u"1024"_s, u"2048"_s, u"4096"_s}) {
    expectSystemLabel(
        makeUdfImage(mkudffs, {u"-b"_s, size, u"--lvid=Bloque "_s + size, u"--vid=V"_s}),
        u"Bloque "_s + size);
  }
  // Latin-1 and UCS-2 identifiers.
  expectSystemLabel(makeUdfImage(mkudffs, {u"--lvid=Ñandú"_s, u"--vid=Volumen"_s}), u"Ñandú"_s);
  expectSystemLabel(makeUdfImage(mkudffs, {u"--label=Ünïcode€ 2024"_s}), u"Ünïcode€ 2024"_s);
}

TEST(VolumeLabel, EmptyLabelsGiveEmptyText) {
  REQUIRE_TOOL(xorriso, "xorriso");
  EXPECT_EQ(volumeLabelOfDevice(makeIsoImage(xorriso, QString(), true)), QString());
  REQUIRE_TOOL(mkudffs, "mkudffs");
  EXPECT_EQ(volumeLabelOfDevice(makeUdfImage(mkudffs, {u"--lvid="_s, u"--vid=SoloVid"_s})),
            QString());
}

TEST(VolumeLabel, TruncatedImagesGiveTheLabelOrNothing) {
  REQUIRE_TOOL(genisoimage, "genisoimage");
  const QString path = TestEnvironment::newTempDir() + u"/cut.iso"_s;
  runTool(genisoimage,
          {u"-quiet"_s, u"-udf"_s, u"-J"_s, u"-V"_s, u"Corte"_s, u"-o"_s, path, discContent()});
  const QByteArray image = readFile(path);
  ASSERT_GT(image.size(), 257 * kSector);
  for (qsizetype size = 0; size <= image.size(); size += 509) {
    const QString label = volumeLabelFromImage(QByteArrayView(image).first(size));
    EXPECT_TRUE(label.isEmpty() || label == u"Corte"_s) << size;
  }
  // Without its UDF anchor the disc still has its ISO 9660 label.
  EXPECT_EQ(volumeLabelFromImage(QByteArrayView(image).first(20 * kSector)), u"Corte"_s);
  EXPECT_EQ(volumeLabelFromImage(image), u"Corte"_s);
}

TEST(VolumeLabel, GarbageAndHostileDescriptorsStayInBounds) {
  QByteArray noise(1 << 20, '\0');
  QRandomGenerator random(20240611);
  random.fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
  EXPECT_EQ(volumeLabelFromImage(noise), QString());
  EXPECT_EQ(volumeLabelFromImage(QByteArray()), QString());

  const QByteArray latin1Id = QByteArray(
                                  "\x08"
                                  "ABC")
                                  .leftJustified(127, '\0');
  EXPECT_EQ(volumeLabelFromImage(craftedUdf(260, 16 * kSector, latin1Id + '\x04')), u"ABC"_s);
  // A length past the field is cut to it; an odd UCS-2 byte is dropped.
  EXPECT_EQ(volumeLabelFromImage(craftedUdf(260, 16 * kSector, latin1Id + '\xff')), u"ABC"_s);
  const QByteArray ucs2Id = QByteArray("\x10\x00Z\x00", 4).leftJustified(127, '\x00');
  EXPECT_EQ(volumeLabelFromImage(craftedUdf(260, kSector, ucs2Id + '\x04')), u"Z"_s);
  // An extent past the image gives nothing; an absurd length is not believed.
  EXPECT_EQ(volumeLabelFromImage(craftedUdf(0xFFFFFFFF, 0xFFFFFFFF, latin1Id + '\x04')), QString());
  EXPECT_EQ(volumeLabelFromImage(craftedUdf(200, 0xFFFFFFFF, latin1Id + '\x04')), u"ABC"_s);
}

TEST(VolumeLabel, UnreadableDevicesGiveEmptyTextWithoutWaiting) {
  const QString dir = TestEnvironment::newTempDir();
  EXPECT_EQ(volumeLabelOfDevice(dir + u"/missing"_s), QString());
  EXPECT_EQ(volumeLabelOfDevice(dir), QString());
  const QString fifo = dir + u"/sr0"_s;
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  EXPECT_EQ(volumeLabelOfDevice(fifo), QString());
}
