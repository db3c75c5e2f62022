#include "stats/gui_stats_chart.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>

#include <algorithm>

#include "stats/stats_chart_drawing.h"

using namespace Qt::StringLiterals;

namespace {

class PainterCanvas : public ChartCanvas {
 public:
  explicit PainterCanvas(QPainter& painter) : painter_(painter) {}

  void background(const QSize& size) override {
    painter_.fillRect(QRect(QPoint(), size), Qt::white);
    painter_.setPen(Qt::black);
  }
  void title(const QRect& rect, const QString& text) override {
    QFont bold = painter_.font();
    bold.setBold(true);
    painter_.save();
    painter_.setFont(bold);
    painter_.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter, text);
    painter_.restore();
  }
  void text(const QRect& rect, Qt::Alignment alignment, const QString& text) override {
    painter_.drawText(rect, alignment | Qt::AlignVCenter, text);
  }
  void bar(const QRect& rect) override { painter_.fillRect(rect, StatsChart::barColor()); }
  QString elided(const QString& text, int width) const override {
    return painter_.fontMetrics().elidedText(text, Qt::ElideRight, width);
  }

 private:
  QPainter& painter_;
};

}  // namespace

StatsChart::StatsChart(QWidget* parent) : QWidget(parent) {
  setMinimumHeight(chartHeight(3));
}

void StatsChart::setBars(const QString& title, std::vector<StatsBar> bars) {
  title_ = title;
  bars_ = std::move(bars);
  updateGeometry();
  update();
}

QColor StatsChart::barColor() {
  return QColor::fromRgb(kChartBarRgb);
}

QRect StatsChart::barRect(int index, const QSize& size) const {
  return chartBarRect(bars_, index, size);
}

void StatsChart::paint(QPainter& painter, const QSize& size) const {
  PainterCanvas canvas(painter);
  drawChart(canvas, title_, bars_, size);
}

QImage StatsChart::image(const QSize& size) const {
  QImage picture(size, QImage::Format_RGB32);
  QPainter painter(&picture);
  painter.setFont(font());
  paint(painter, size);
  return picture;
}

QByteArray StatsChart::pngBytes(const QSize& size) const {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image(size).save(&buffer, "PNG");
  return bytes;
}

QByteArray StatsChart::svgBytes(const QSize& size) const {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  QSvgGenerator generator;
  generator.setOutputDevice(&buffer);
  generator.setSize(size);
  generator.setViewBox(QRect(QPoint(), size));
  generator.setTitle(title_);
  QPainter painter(&generator);
  painter.setFont(font());
  paint(painter, size);
  painter.end();
  return bytes;
}

QSize StatsChart::sizeHint() const {
  return {420, chartHeight(std::max<int>(3, static_cast<int>(bars_.size()))) + kChartMargin};
}

QSize StatsChart::savedSize() const {
  return chartSavedSize(bars_);
}

void StatsChart::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paint(painter, size());
}
