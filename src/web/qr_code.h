#pragma once

#include <QByteArray>

#include <vector>

// A QR code of a short text (the address of the shared catalogue), for a phone's camera.

struct QrCode {
  /** Modules per side; 0 when the text could not be encoded. */
  int width = 0;
  /** Row by row, width × width. */
  std::vector<bool> dark;

  bool isDark(int x, int y) const { return dark[static_cast<std::size_t>(y * width + x)]; }
};

/** The text's bytes as a QR code with medium error correction. */
QrCode qrCodeOf(const QByteArray& text);
