#include "web/qr_code.h"

#include <qrencode.h>

#include <memory>

namespace {

struct QrFree {
  void operator()(QRcode* code) const { QRcode_free(code); }
};

}  // namespace

QrCode qrCodeOf(const QByteArray& text) {
  // Eight-bit mode keeps the address byte for byte, whatever its letters' case.
  const std::unique_ptr<QRcode, QrFree> code(
      QRcode_encodeString8bit(text.constData(), 0, QR_ECLEVEL_M));
  QrCode qr;
  if (!code) {
    return qr;
  }
  qr.width = code->width;
  const auto modules =
      static_cast<std::size_t>(code->width) * static_cast<std::size_t>(code->width);
  qr.dark.reserve(modules);
  for (std::size_t module = 0; module < modules; ++module) {
    // The lowest bit is the module's colour; the others say what part of the symbol it is.
    qr.dark.push_back((code->data[module] & 1) != 0);
  }
  return qr;
}
