#include "platform/gui_message_box.h"

#include <QMessageBox>

namespace {

MessageAnswerer& answerer() {
  static MessageAnswerer a;
  return a;
}

QMessageBox::Icon boxIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Warning:
      return QMessageBox::Warning;
    case MessageIcon::Critical:
      return QMessageBox::Critical;
    case MessageIcon::Question:
      return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

std::unique_ptr<QMessageBox> newMessageBox(const MessageRequest& request) {
  const bool yesNo = request.buttons == MessageButtons::YesNo;
  return std::make_unique<QMessageBox>(boxIcon(request.icon), request.title, request.text,
                                       yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
                                       request.parent);
}

MessageAnswer showMessage(const MessageRequest& request) {
  if (answerer()) {
    return answerer()(request);
  }
  const int answer = newMessageBox(request)->exec();
  if (request.buttons != MessageButtons::YesNo) {
    return MessageAnswer::Ok;
  }
  return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

void setMessageAnswerer(MessageAnswerer a) {
  answerer() = std::move(a);
}
