#include <QRegularExpression>

#include <gtest/gtest.h>

#include "stats/stats_chart_drawing.h"

using namespace Qt::StringLiterals;

namespace {

// The SVG of the web pages is drawn by the window's own layout: its bars are the window's.
TEST(ChartSvg, BarsAreTheWindowsAndEveryTextIsEscaped) {
  const std::vector<StatsBar> bars = {{u"<script>x</script>"_s, 40}, {u"Pop & \"Rock\""_s, 10}};
  const QString svg = QString::fromUtf8(chartSvg(u"Géneros <b>"_s, bars));
  const QSize size = chartSavedSize(bars);
  for (int i = 0; i < 2; ++i) {
    const QRect bar = chartBarRect(bars, i, size);
    EXPECT_TRUE(svg.contains(u"<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\""_s.arg(bar.x())
                                 .arg(bar.y())
                                 .arg(bar.width())
                                 .arg(bar.height())))
        << i;
  }
  EXPECT_FALSE(svg.contains(u"<script"_s));
  EXPECT_FALSE(svg.contains(u"<b>"_s));
  EXPECT_TRUE(svg.contains(u"&lt;script&gt;x&lt;/script&gt;"_s));
  EXPECT_TRUE(svg.contains(u"Pop &amp; &quot;Rock&quot;"_s));
  EXPECT_TRUE(svg.contains(u">40</text>"_s));
}

TEST(ChartSvg, AChartWithoutBarsSaysSo) {
  const QString svg = QString::fromUtf8(chartSvg(u"Décadas"_s, {}));
  EXPECT_TRUE(svg.contains(u">Sin datos</text>"_s));
  EXPECT_EQ(svg.count(QRegularExpression(u"<rect"_s)), 1);  // the background only
}

}  // namespace
