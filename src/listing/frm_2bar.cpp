#include "listing/frm_2bar.h"

#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>

#include <algorithm>

#include "platform/twips.h"

using namespace Qt::StringLiterals;

namespace {

QRect twipsRect(int left, int top, int width, int height) {
  return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

// A bar with maximum 0 would turn into Qt's busy animation; a step with nothing to write shows
// an empty, still bar instead.
void setBar(QProgressBar* bar, int maximum, int value) {
  bar->setRange(0, std::max(maximum, 1));
  if (value <= maximum) {
    bar->setValue(value);
  }
}

constexpr int kFirstRowTwips = 90;
constexpr int kSecondRowTwips = 360;

}  // namespace

frm_2bar::frm_2bar(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
  setObjectName(u"frm_2bar"_s);
  setFixedSize(twipsToPixels(6855), twipsToPixels(675));
  addLabel("Label1", kFirstRowTwips)->setText(u"Proceso Global"_s);
  label2_ = addLabel("Label2", kSecondRowTwips);
  progressBar1_ = addBar("ProgressBar1", kFirstRowTwips);
  progressBar2_ = addBar("ProgressBar2", kSecondRowTwips);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

void frm_2bar::showProgress(const StoreProgress& progress) {
  label2_->setText(progress.step);
  setBar(progressBar1_, 2, progress.overall);
  setBar(progressBar2_, progress.stepMaximum, progress.stepValue);
}

QLabel* frm_2bar::addLabel(const char* name, int topTwips) {
  auto* label = new QLabel(this);
  label->setObjectName(QString::fromLatin1(name));
  label->setGeometry(twipsRect(90, topTwips, 2580, 240));
  QFont font(u"Verdana"_s);
  font.setPointSizeF(8.25);
  label->setFont(font);
  return label;
}

QProgressBar* frm_2bar::addBar(const char* name, int topTwips) {
  auto* bar = new QProgressBar(this);
  bar->setObjectName(QString::fromLatin1(name));
  bar->setGeometry(twipsRect(2790, topTwips, 3975, 240));
  bar->setTextVisible(false);
  setBar(bar, 0, 0);
  return bar;
}
