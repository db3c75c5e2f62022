#include "platform/desktop_opener.h"

namespace {

DesktopOpenHandler& handler() {
  static DesktopOpenHandler h;
  return h;
}

}  // namespace

void setDesktopOpenHandler(DesktopOpenHandler h) {
  handler() = std::move(h);
}

bool openOnDesktop(const QString& target) {
  return handler() && handler()(target);
}
