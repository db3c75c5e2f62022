#include "platform/gui_image_list.h"

#include <array>

using namespace Qt::StringLiterals;

QIcon imageListIcon(int index) {
  if (index < 1 || index > kImageListSize) {
    return {};
  }
  // One icon per image, shared by every node and button: a tree of a thousand nodes would
  // otherwise read and keep a thousand copies of the same picture.
  // Never destroyed: icons must not be torn down after the application object is gone.
  static auto* const icons = new std::array<QIcon, kImageListSize + 1>;
  QIcon& icon = (*icons)[static_cast<std::size_t>(index)];
  if (icon.isNull()) {
    icon = QIcon(u":/icons/%1.svg"_s.arg(index, 2, 10, QChar(u'0')));
  }
  return icon;
}
