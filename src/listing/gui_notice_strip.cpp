#include "listing/gui_notice_strip.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

NoticeStrip::NoticeStrip(QWidget* parent) : QWidget(parent), layout_(new QVBoxLayout(this)) {
  setObjectName(u"Notices"_s);
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::ToolTipBase);
  layout_->setContentsMargins(4, 2, 2, 2);
  layout_->setSpacing(2);
  hide();
}

// The strip and the row are shown before the text is set: a layout counts only the widgets
// that are shown, and a row Qt would show later leaves its lines out of the strip's height.
void NoticeStrip::setNotice(const QString& key, const QString& text) {
  show();
  auto notice = position(key);
  if (notice == notices_.end()) {
    notices_.push_back(addRow(key));
    notice = std::prev(notices_.end());
  }
  notice->row->show();
  notice->label->setText(text);
  notice->label->setToolTip(text);
  emit changed();
}

void NoticeStrip::removeNotice(const QString& key) {
  const auto found = position(key);
  if (found == notices_.end()) {
    return;
  }
  // Deleted later: the row's own close button may be what is running now.
  found->row->hide();
  found->row->deleteLater();
  notices_.erase(found);
  setVisible(!notices_.empty());
  emit changed();
}

void NoticeStrip::addButton(const QString& key, const QString& name, const QString& text,
                            const std::function<void()>& clicked) {
  const auto notice = position(key);
  if (notice == notices_.end()) {
    return;
  }
  auto* button = new QToolButton(notice->row);
  button->setObjectName(name);
  button->setText(text);
  button->setToolTip(text);
  auto* rowLayout = static_cast<QHBoxLayout*>(notice->row->layout());
  rowLayout->insertWidget(rowLayout->count() - 1, button, 0, Qt::AlignTop);
  connect(button, &QToolButton::clicked, this, clicked);
  emit changed();
}

QStringList NoticeStrip::notices() const {
  QStringList texts;
  for (const Notice& notice : notices_) {
    texts.append(notice.label->text());
  }
  return texts;
}

int NoticeStrip::heightFor(int width) const {
  if (notices_.empty()) {
    return 0;
  }
  return layout_->hasHeightForWidth() ? layout_->totalHeightForWidth(width)
                                      : layout_->totalSizeHint().height();
}

std::vector<NoticeStrip::Notice>::iterator NoticeStrip::position(const QString& key) {
  return std::find_if(notices_.begin(), notices_.end(),
                      [&key](const Notice& notice) { return notice.key == key; });
}

NoticeStrip::Notice NoticeStrip::addRow(const QString& key) {
  auto* row = new QWidget(this);
  row->setObjectName(u"notice_"_s + key);
  auto* rowLayout = new QHBoxLayout(row);
  rowLayout->setContentsMargins(0, 0, 0, 0);
  auto* label = new QLabel(row);
  label->setWordWrap(true);
  label->setTextFormat(Qt::PlainText);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  rowLayout->addWidget(label, 1);
  auto* close = new QToolButton(row);
  close->setObjectName(u"close"_s);
  close->setText(u"×"_s);
  close->setToolTip(u"Cerrar aviso"_s);
  close->setAutoRaise(true);
  rowLayout->addWidget(close, 0, Qt::AlignTop);
  connect(close, &QToolButton::clicked, this, [this, key] { removeNotice(key); });
  layout_->addWidget(row);
  return {key, row, label};
}
