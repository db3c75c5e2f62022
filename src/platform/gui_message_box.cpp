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

MessageAnswer showMessage(const MessageRequest& request) {
  if (answerer()) {
    return answerer()(request);
  }
  const bool yesNo = request.buttons == MessageButtons::YesNo;
  QMessageBox box(boxIcon(request.icon), request.title, request.text,
                  yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, request.parent);
  const int answer = box.exec();
  if (!yesNo) {
    return MessageAnswer::Ok;
  }
  return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

void setMessageAnswerer(MessageAnswerer a) {
  answerer() = std::move(a);
}
