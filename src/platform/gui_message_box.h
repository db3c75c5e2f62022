#pragma once

#include <QString>

#include <functional>
#include <memory>

class QMessageBox;
class QWidget;

// Every message box of the program goes through here, so tests can answer them without a
// modal box ever waiting on screen.

enum class MessageIcon { Information, Warning, Critical, Question };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

struct MessageRequest {
  QWidget* parent = nullptr;
  QString title;
  QString text;
  MessageIcon icon = MessageIcon::Information;
  MessageButtons buttons = MessageButtons::Ok;
};

/** The box showMessage shows, not yet shown. */
std::unique_ptr<QMessageBox> newMessageBox(const MessageRequest& request);

/** Shows the box (or asks the installed answerer) and returns the user's answer. */
MessageAnswer showMessage(const MessageRequest& request);

/** Tests answer boxes through this; an empty answerer brings back the real boxes. */
using MessageAnswerer = std::function<MessageAnswer(const MessageRequest& request)>;
void setMessageAnswerer(MessageAnswerer answerer);
