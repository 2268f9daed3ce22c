// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

#include <cstdint>

namespace vantrel {

// An opaque RGB32 image of even width and height to BT.709 limited-range Y'CbCr 4:2:0,
// as H.264 wants it, in 8.8 fixed point over 8-bit sRGB values:
//   Y' = 16 + (47 R + 157 G + 16 B + 128) / 256 for each pixel,
//   Cb = 128 + (-26 R - 87 G + 113 B + 512) / 1024,
//   Cr = 128 + (112 R - 102 G - 10 B + 512) / 1024 over the sums of each 2 × 2 block
// (divisions rounding down). `planes` and `linesizes` are Y', Cb, Cr, as an AVFrame has them.
void toYuv420(const QImage& image, uint8_t* const planes[3], const int linesizes[3]);

}  // namespace vantrel
