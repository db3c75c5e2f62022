#include "platform/gui_image_list.h"

using namespace Qt::StringLiterals;

QIcon imageListIcon(int index) {
  if (index < 1 || index > kImageListSize) {
    return {};
  }
  return QIcon(u":/icons/%1.svg"_s.arg(index, 2, 10, QChar(u'0')));
}
