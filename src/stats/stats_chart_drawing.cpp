#include "stats/stats_chart_drawing.h"

#include <algorithm>

#include "stats/stats_format.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kMargin = kChartMargin;
constexpr int kTitleHeight = 24;
constexpr int kRowHeight = 18;
constexpr int kBarGap = 4;
constexpr int kCountWidth = 64;
constexpr int kSavedWidth = 800;
// Without font metrics, an average character of the page's 12-pixel sans-serif.
constexpr int kSvgCharWidth = 7;
constexpr int kSvgBaselineDrop = 4;

int labelWidth(const QSize& size) {
  return std::clamp(size.width() / 3, 60, 220);
}

// SVG text drawn in the page's own font and colours.
class SvgCanvas : public ChartCanvas {
 public:
  void background(const QSize& size) override {
    svg_ +=
        u"<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"grafico\" viewBox=\"0 0 %1 %2\" "
        u"width=\"%1\" height=\"%2\" role=\"img\"><rect class=\"fondo\" width=\"%1\" "
        u"height=\"%2\"/>"_s.arg(size.width())
            .arg(size.height());
  }
  void title(const QRect& rect, const QString& text) override {
    svg_ += u"<title>%1</title>"_s.arg(text.toHtmlEscaped());
    line(rect, Qt::AlignLeft, text, u" font-weight=\"bold\""_s);
  }
  void text(const QRect& rect, Qt::Alignment alignment, const QString& text) override {
    line(rect, alignment, text, {});
  }
  void bar(const QRect& rect) override {
    svg_ += u"<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"#%5\"/>"_s.arg(rect.x())
                .arg(rect.y())
                .arg(rect.width())
                .arg(rect.height())
                .arg(kChartBarRgb, 6, 16, QChar(u'0'));
  }
  QString elided(const QString& text, int width) const override {
    const int fits = std::max(1, width / kSvgCharWidth);
    return text.size() <= fits ? text : text.left(fits - 1) + u'…';
  }
  QByteArray bytes() const { return (svg_ + u"</svg>"_s).toUtf8(); }

 private:
  void line(const QRect& rect, Qt::Alignment alignment, const QString& text, const QString& extra) {
    const bool right = alignment.testFlag(Qt::AlignRight);
    svg_ += u"<text x=\"%1\" y=\"%2\"%3%4>%5</text>"_s.arg(right ? rect.right() + 1 : rect.left())
                .arg(rect.center().y() + kSvgBaselineDrop)
                .arg(right ? u" text-anchor=\"end\""_s : QString(), extra, text.toHtmlEscaped());
  }

  QString svg_;
};

}  // namespace

QRect chartBarRect(const std::vector<StatsBar>& bars, int index, const QSize& size) {
  qint64 largest = 1;
  for (const StatsBar& bar : bars) {
    largest = std::max(largest, bar.count);
  }
  const int left = kMargin + labelWidth(size);
  const int room = std::max(0, size.width() - left - kCountWidth - kMargin);
  const qint64 count = bars[static_cast<size_t>(index)].count;
  const int length = static_cast<int>(static_cast<double>(room) * static_cast<double>(count) /
                                      static_cast<double>(largest));
  return {left, kTitleHeight + index * kRowHeight + kBarGap / 2, length, kRowHeight - kBarGap};
}

void drawChart(ChartCanvas& canvas, const QString& title, const std::vector<StatsBar>& bars,
               const QSize& size) {
  canvas.background(size);
  canvas.title(QRect(kMargin, 0, size.width() - 2 * kMargin, kTitleHeight), title);
  if (bars.empty()) {
    canvas.text(QRect(kMargin, kTitleHeight, size.width() - 2 * kMargin, kRowHeight), Qt::AlignLeft,
                u"Sin datos"_s);
    return;
  }
  for (int i = 0; i < static_cast<int>(bars.size()); ++i) {
    const StatsBar& entry = bars[static_cast<size_t>(i)];
    const QRect bar = chartBarRect(bars, i, size);
    const QRect row(kMargin, bar.top(), labelWidth(size) - kMargin, bar.height());
    canvas.text(row, Qt::AlignRight, canvas.elided(entry.label, row.width()));
    canvas.bar(bar);
    canvas.text(QRect(bar.right() + kBarGap + 1, bar.top(), kCountWidth, bar.height()),
                Qt::AlignLeft, spanishNumber(entry.count));
  }
}

int chartHeight(int rows) {
  return kTitleHeight + rows * kRowHeight;
}

// A chart without bars has its one line, "Sin datos".
QSize chartSavedSize(const std::vector<StatsBar>& bars) {
  return {kSavedWidth, chartHeight(std::max<int>(1, static_cast<int>(bars.size()))) + kMargin};
}

QByteArray chartSvg(const QString& title, const std::vector<StatsBar>& bars) {
  SvgCanvas canvas;
  drawChart(canvas, title, bars, chartSavedSize(bars));
  return canvas.bytes();
}
