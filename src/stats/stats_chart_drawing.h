#pragma once

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <QString>

#include <vector>

#include "stats/collection_stats.h"

// One bar chart of the figures: a title, then one horizontal bar per entry with its label on
// the left and its count (in Spanish digits) after the bar. The drawing is told to a canvas, so
// the statistics window (QPainter) and the web pages (SVG text) show the same chart.

/** What a chart is drawn on. */
class ChartCanvas {
 public:
  virtual ~ChartCanvas() = default;
  virtual void background(const QSize& size) = 0;
  /** The chart's title, bold, left-aligned in rect. */
  virtual void title(const QRect& rect, const QString& text) = 0;
  /** A line of text in rect, aligned left or right, vertically centred. */
  virtual void text(const QRect& rect, Qt::Alignment alignment, const QString& text) = 0;
  virtual void bar(const QRect& rect) = 0;
  /** text cut to fit width, with an ellipsis when cut. */
  virtual QString elided(const QString& text, int width) const = 0;
};

/** The bars' colour, 0xRRGGBB. */
inline constexpr unsigned kChartBarRgb = 0x3b6ea8;

/** Where bar index is drawn within a chart of size (its full length is the largest count). */
QRect chartBarRect(const std::vector<StatsBar>& bars, int index, const QSize& size);
void drawChart(ChartCanvas& canvas, const QString& title, const std::vector<StatsBar>& bars,
               const QSize& size);
/** The size a saved chart is drawn at: the title and every bar, with no room left over. */
QSize chartSavedSize(const std::vector<StatsBar>& bars);
/** The height of a chart's title and rows rows of bars, without the margin below. */
int chartHeight(int rows);
inline constexpr int kChartMargin = 8;

/**
 * The chart as an SVG element of its saved size, every text escaped; its texts and background
 * take their colours from the page's style (classes "grafico" and "fondo").
 */
QByteArray chartSvg(const QString& title, const std::vector<StatsBar>& bars);
