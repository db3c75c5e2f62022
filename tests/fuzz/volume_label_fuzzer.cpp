// The volume label reader over any image bytes: truncated, garbage or hostile descriptors. The
// input is the image from sector 16 on, where the first descriptors of every file system it knows
// lie; the system area before it is left as zeros, which keeps the corpus small.

#include <QByteArray>

#include "fuzz/fuzz_support.h"
#include "platform/volume_label.h"

#include <cstddef>
#include <cstdint>

namespace {

constexpr qsizetype kSystemAreaBytes = 16 * 2048;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QByteArray image(kSystemAreaBytes, '\0');
  image.append(QByteArrayView(data, static_cast<qsizetype>(size)));
  const QString label = volumeLabelFromImage(image);
  // The longest label any of the file systems can hold is UDF's 126 characters.
  FUZZ_CHECK(label.size() <= 126);
  FUZZ_CHECK(!label.contains(QChar(0)));
  FUZZ_CHECK(label == label.trimmed());
  return 0;
}
