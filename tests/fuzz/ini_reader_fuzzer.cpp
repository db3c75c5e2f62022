// The INI reader over any file content. The input is the section, a NUL, the key, a NUL and the
// file's bytes.

#include "base/ini_reader.h"
#include "fuzz/fuzz_support.h"

#include <cstddef>
#include <cstdint>

namespace {

// The next NUL-ended piece of rest, taken off its front; the whole of rest when it holds no NUL.
QByteArrayView takePiece(QByteArrayView& rest) {
  const qsizetype nul = rest.indexOf('\0');
  const QByteArrayView piece = nul < 0 ? rest : rest.first(nul);
  rest = nul < 0 ? QByteArrayView() : rest.sliced(nul + 1);
  return piece;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QByteArrayView rest(data, static_cast<qsizetype>(size));
  const QString section = QString::fromUtf8(takePiece(rest));
  const QString key = QString::fromUtf8(takePiece(rest));
  const QString value = ReadIni(section, key, scratchFileWith(rest));
  // What a 750-character buffer holds, and never more than one line.
  FUZZ_CHECK(value.size() <= 749);
  FUZZ_CHECK(!value.contains(u'\n'));
  return 0;
}
