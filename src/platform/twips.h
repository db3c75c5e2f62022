#pragma once

#include <QRect>

// Window geometry is designed in twips; 15 twips make one logical pixel, and Qt scales logical
// pixels for high-DPI screens.

inline constexpr int kTwipsPerPixel = 15;

/** Twips to logical pixels, rounded to the nearest pixel. */
constexpr int twipsToPixels(int twips) {
  return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                    : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

constexpr int pixelsToTwips(int pixels) {
  return pixels * kTwipsPerPixel;
}

/** A design rectangle (left, top, width, height in twips) in logical pixels. */
constexpr QRect twipsToPixels(const QRect& twips) {
  return {twipsToPixels(twips.x()), twipsToPixels(twips.y()), twipsToPixels(twips.width()),
          twipsToPixels(twips.height())};
}
