// The volume label reader over any image bytes: truncated, garbage or hostile descriptors.

#include "fuzz/fuzz_support.h"
#include "platform/volume_label.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString label = volumeLabelFromImage(QByteArrayView(data, static_cast<qsizetype>(size)));
  // The longest label any of the file systems can hold is UDF's 127 characters.
  FUZZ_CHECK(label.size() <= 127);
  FUZZ_CHECK(!label.contains(QChar(0)));
  FUZZ_CHECK(label == label.trimmed());
  return 0;
}
