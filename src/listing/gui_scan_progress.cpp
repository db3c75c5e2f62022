#include "listing/gui_scan_progress.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kRefreshMs = 100;

}  // namespace

ScanProgressStrip::ScanProgressStrip(QWidget* parent)
    : QWidget(parent), label_(new QLabel(this)), stop_(new QPushButton(u"Detener"_s, this)) {
  setObjectName(u"Progreso"_s);
  label_->setObjectName(u"Label1"_s);
  label_->setTextFormat(Qt::PlainText);
  // A long path must not widen the window: the label takes what room there is.
  label_->setMinimumWidth(0);
  label_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  stop_->setObjectName(u"Command1"_s);
  stop_->setToolTip(u"Detener el escaneo y quedarse con lo encontrado hasta ahora"_s);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(4, 2, 2, 2);
  layout->addWidget(label_, 1);
  layout->addWidget(stop_);
  connect(stop_, &QPushButton::clicked, this, [this] {
    stopPressed_ = true;
    stop_->setEnabled(false);
  });
  hide();
}

void ScanProgressStrip::start() {
  stopPressed_ = false;
  stop_->setEnabled(true);
  showProgress({});
  show();
  emit shownOrHidden();
}

void ScanProgressStrip::finish() {
  hide();
  emit shownOrHidden();
}

void ScanProgressStrip::offer(const WalkProgress& progress) {
  if (sinceShown_.isValid() && sinceShown_.elapsed() < kRefreshMs) {
    return;
  }
  showProgress(progress);
}

void ScanProgressStrip::showProgress(const WalkProgress& progress) {
  label_->setText(u"%1 directorios, %2 archivos MP3  %3"_s.arg(progress.directories)
                      .arg(progress.mp3Files)
                      .arg(progress.current));
  sinceShown_.start();
}

QString ScanProgressStrip::text() const {
  return label_->text();
}
