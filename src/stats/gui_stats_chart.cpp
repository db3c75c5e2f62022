#include "stats/gui_stats_chart.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>

#include <algorithm>

#include "stats/stats_format.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kMargin = 8;
constexpr int kTitleHeight = 24;
constexpr int kRowHeight = 18;
constexpr int kBarGap = 4;
constexpr int kCountWidth = 64;
constexpr int kSavedWidth = 800;

}  // namespace

StatsChart::StatsChart(QWidget* parent) : QWidget(parent) {
  setMinimumHeight(kTitleHeight + 3 * kRowHeight);
}

void StatsChart::setBars(const QString& title, std::vector<StatsBar> bars) {
  title_ = title;
  bars_ = std::move(bars);
  updateGeometry();
  update();
}

QColor StatsChart::barColor() {
  return QColor(0x3b, 0x6e, 0xa8);
}

int StatsChart::labelWidth(const QSize& size) const {
  return std::clamp(size.width() / 3, 60, 220);
}

QRect StatsChart::barRect(int index, const QSize& size) const {
  qint64 largest = 1;
  for (const StatsBar& bar : bars_) {
    largest = std::max(largest, bar.count);
  }
  const int left = kMargin + labelWidth(size);
  const int room = std::max(0, size.width() - left - kCountWidth - kMargin);
  const qint64 count = bars_[static_cast<size_t>(index)].count;
  const int length = static_cast<int>(static_cast<double>(room) * static_cast<double>(count) /
                                      static_cast<double>(largest));
  return {left, kTitleHeight + index * kRowHeight + kBarGap / 2, length, kRowHeight - kBarGap};
}

void StatsChart::paint(QPainter& painter, const QSize& size) const {
  painter.fillRect(QRect(QPoint(), size), Qt::white);
  painter.setPen(Qt::black);
  QFont bold = painter.font();
  bold.setBold(true);
  painter.save();
  painter.setFont(bold);
  painter.drawText(QRect(kMargin, 0, size.width() - 2 * kMargin, kTitleHeight),
                   Qt::AlignLeft | Qt::AlignVCenter, title_);
  painter.restore();
  if (bars_.empty()) {
    painter.drawText(QRect(kMargin, kTitleHeight, size.width() - 2 * kMargin, kRowHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, u"Sin datos"_s);
    return;
  }
  const QFontMetrics metrics = painter.fontMetrics();
  for (int i = 0; i < static_cast<int>(bars_.size()); ++i) {
    const QRect bar = barRect(i, size);
    const QRect row(kMargin, bar.top(), labelWidth(size) - kMargin, bar.height());
    painter.drawText(
        row, Qt::AlignRight | Qt::AlignVCenter,
        metrics.elidedText(bars_[static_cast<size_t>(i)].label, Qt::ElideRight, row.width()));
    painter.fillRect(bar, barColor());
    painter.drawText(QRect(bar.right() + kBarGap + 1, bar.top(), kCountWidth, bar.height()),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     spanishNumber(bars_[static_cast<size_t>(i)].count));
  }
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
  return {420,
          kTitleHeight + std::max<int>(3, static_cast<int>(bars_.size())) * kRowHeight + kMargin};
}

// A chart without bars has its one line, "Sin datos".
QSize StatsChart::savedSize() const {
  return {kSavedWidth,
          kTitleHeight + std::max<int>(1, static_cast<int>(bars_.size())) * kRowHeight + kMargin};
}

void StatsChart::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paint(painter, size());
}
