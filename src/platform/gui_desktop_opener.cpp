#include "platform/gui_desktop_opener.h"

#include <QDesktopServices>
#include <QUrl>

#include "platform/desktop_opener.h"

namespace {

QUrl targetUrl(const QString& target) {
  return target.startsWith(u'/') ? QUrl::fromLocalFile(target) : QUrl(target);
}

}  // namespace

void installDesktopOpener() {
  setDesktopOpenHandler(
      [](const QString& target) { return QDesktopServices::openUrl(targetUrl(target)); });
}
