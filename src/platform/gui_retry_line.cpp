#include "platform/gui_retry_line.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;

RetryLine::RetryLine(const QString& labelName, QWidget* parent)
    : QWidget(parent), text_(new QLabel), retry_(new QPushButton(u"Reintentar"_s)) {
  text_->setObjectName(labelName);
  text_->setWordWrap(true);
  text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  retry_->setObjectName(u"cmdReintentar"_s);
  retry_->setToolTip(u"Vuelve a intentar la operación con la base de datos"_s);
  connect(retry_, &QPushButton::clicked, this, &RetryLine::retryRequested);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(text_, 1);
  layout->addWidget(retry_);
  hide();
}

void RetryLine::showFailure(const QString& text) {
  text_->setText(text);
  retry_->show();
  setVisible(!text.isEmpty());
}

void RetryLine::showText(const QString& text) {
  text_->setText(text);
  retry_->hide();
  show();
}

QString RetryLine::text() const {
  return text_->text();
}
