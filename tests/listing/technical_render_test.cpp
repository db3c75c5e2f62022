#include <memory>

#include "listing/renderer.h"
#include "listing/technical_texts.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

class TechnicalRenderTest : public testing::Test {
 protected:
  std::unique_ptr<ListingModel> model = std::make_unique<ListingModel>();

  void SetUp() override {
    model->DirActualNum = 2;
    model->NumDirectoriosMP3 = 2;
    model->NumCancionesMP3 = 3;
    model->Directorios[1] = {u"/m/A"_s, 1, 2};
    model->Directorios[2] = {u"/m/B"_s, 3, 3};
    const QStringList names = {u"Uno.flac"_s, u"Dos.mp3"_s, u"Tres.OPUS"_s};
    for (int f = 1; f <= 3; ++f) {
      model->Canciones[f].filename = names[f - 1];
      model->Canciones[f].fileorder = u"1"_s;
    }
  }

  void giveTechnicalFields() {
    model->technical.present = true;
    model->technical.set(1, {59600, 320, 44100, 2, 4'700'000});
    model->technical.set(2, {3599500, 128, 48000, 2, 12'000'000});
    // File 3 could not be read: its fields are empty, its directory's sums leave it out.
  }

  QStringList texts(const LineDesigns& designs) const {
    QStringList lines;
    for (const RenderedEntry& entry : renderListing(*model, designs)) {
      lines.append(entry.text);
    }
    return lines;
  }
};

}  // namespace

TEST(TechnicalTexts, DurationsRatesAndSizesAsTheListingShowsThem) {
  EXPECT_EQ(durationText(0), u"0:00"_s);
  EXPECT_EQ(durationText(499), u"0:00"_s);
  EXPECT_EQ(durationText(500), u"0:01"_s);
  EXPECT_EQ(durationText(59600), u"1:00"_s);
  EXPECT_EQ(durationText(754000), u"12:34"_s);
  EXPECT_EQ(durationText(3599499), u"59:59"_s);
  EXPECT_EQ(durationText(3599500), u"1:00:00"_s);
  EXPECT_EQ(durationText(36061000), u"10:01:01"_s);
  EXPECT_EQ(kilohertzText(44100), u"44,1"_s);
  EXPECT_EQ(kilohertzText(48000), u"48"_s);
  EXPECT_EQ(kilohertzText(8000), u"8"_s);
  EXPECT_EQ(kilohertzText(22050), u"22,1"_s);
  EXPECT_EQ(megabytesText(4'700'000), u"4,7"_s);
  EXPECT_EQ(megabytesText(12'000'000), u"12,0"_s);
  EXPECT_EQ(megabytesText(49'999), u"0,0"_s);
}

TEST_F(TechnicalRenderTest, PlaceholdersFilledOnlyInAListingThatHasTechnicalFields) {
  const LineDesigns designs{u"{#D} {DNum} {DDur}"_s, u"{TF}|{3Dur}|{3Kbp}|{3Khz}|{3Tam}"_s};
  // A listing without them counts its files and leaves the technical fields empty.
  EXPECT_EQ(texts(designs), (QStringList{u"D-1 2 "_s, u"F-Uno||||"_s, u"F-Dos||||"_s, u"  "_s,
                                         u"D-2 1 "_s, u"F-Tres||||"_s, u"  "_s}));
  giveTechnicalFields();
  // The directory's sum is taken in milliseconds, then rounded: 59.6 s + 3,599.5 s make
  // 1:00:59, where the rounded times would add up to 1:01:00.
  EXPECT_EQ(texts(designs), (QStringList{u"D-1 2 1:00:59"_s, u"F-Uno|1:00|320|44,1|4,7"_s,
                                         u"F-Dos|1:00:00|128|48|12,0"_s, u"  "_s, u"D-2 1 0:00"_s,
                                         u"F-Tres||||"_s, u"  "_s}));
  EXPECT_EQ(listingTotalText(*model), u"Duración total: 1:00:59; tamaño total: 16,7 MB"_s);
}

TEST_F(TechnicalRenderTest, NewPlaceholdersComeAfterTheYearAndOnlyInTheirOwnDesign) {
  giveTechnicalFields();
  model->Canciones[1].title = u"{3Dur}"_s;
  model->Canciones[1].year = u"{3Kbp}"_s;
  model->Canciones[1].album = u"{3Yea}"_s;
  EXPECT_EQ(texts({u"{3Dur}"_s, u"{3Tit} {3Alb} {DDur}"_s}).mid(0, 2),
            (QStringList{u"D-{3Dur}"_s, u"F-1:00 320 {DDur}"_s}));
  EXPECT_EQ(listingTotalText(ListingModel()), QString());
}
