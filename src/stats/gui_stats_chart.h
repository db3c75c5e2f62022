#pragma once

#include <QImage>
#include <QWidget>

#include <vector>

#include "stats/collection_stats.h"

/**
 * One bar chart of the statistics window, drawn with QPainter by the figures' chart drawing
 * (stats_chart_drawing.h). The same drawing fills the widget, an image and an SVG file.
 */
class StatsChart : public QWidget {
  Q_OBJECT

 public:
  explicit StatsChart(QWidget* parent = nullptr);

  void setBars(const QString& title, std::vector<StatsBar> bars);
  const QString& title() const { return title_; }
  const std::vector<StatsBar>& bars() const { return bars_; }

  /** Where bar index is drawn within a chart of size (its full length is the largest count). */
  QRect barRect(int index, const QSize& size) const;
  static QColor barColor();

  /** The chart drawn on a white image of size. */
  QImage image(const QSize& size) const;
  /** The chart as PNG or SVG bytes of size. */
  QByteArray pngBytes(const QSize& size) const;
  QByteArray svgBytes(const QSize& size) const;

  QSize sizeHint() const override;
  /** The size a saved chart is drawn at: the title and every bar, with no room left over. */
  QSize savedSize() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void paint(QPainter& painter, const QSize& size) const;

  QString title_;
  std::vector<StatsBar> bars_;
};
