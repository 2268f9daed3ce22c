// SPDX-License-Identifier: GPL-3.0-or-later
// The colour conversion of every H.264 frame: the vector loop (sixteen pixels at a time)
// and the plain one (the rest of a row) both give what the formula gives.
#include <gtest/gtest.h>

#include <QImage>

#include <random>
#include <vector>

#include "ui/export/yuv_conversion.h"

using namespace vantrel;

TEST(YuvConversion, EveryPixelAndBlockAsTheFormulaSays) {
    // Two vector steps and a tail of three blocks; random colours, with a white and a
    // black block first, the ends of the range.
    constexpr int kWidth = 2 * 16 + 6, kHeight = 4;
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    std::mt19937 random(20);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            image.setPixel(x, y, x < 2 ? 0xffffffffu : x < 4 ? 0xff000000u : (0xff000000u | (random() & 0xffffff)));
    std::vector<uint8_t> luma(kWidth * kHeight), cb(kWidth * kHeight / 4), cr(kWidth * kHeight / 4);
    uint8_t* const planes[3] = {luma.data(), cb.data(), cr.data()};
    const int linesizes[3] = {kWidth, kWidth / 2, kWidth / 2};
    toYuv420(image, planes, linesizes);

    EXPECT_EQ(luma[0], 235);
    EXPECT_EQ(luma[2], 16);
    EXPECT_EQ(cb[0], 128);
    EXPECT_EQ(cr[1], 128);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const QRgb p = image.pixel(x, y);
            EXPECT_EQ(luma[y * kWidth + x], (16 * 256 + 128 + 47 * qRed(p) + 157 * qGreen(p) + 16 * qBlue(p)) >> 8) << x << "," << y;
        }
    for (int y = 0; y < kHeight; y += 2)
        for (int x = 0; x < kWidth; x += 2) {
            int r = 0, g = 0, b = 0;
            for (const QRgb p : {image.pixel(x, y), image.pixel(x + 1, y), image.pixel(x, y + 1), image.pixel(x + 1, y + 1)})
                r += qRed(p), g += qGreen(p), b += qBlue(p);
            const int at = y / 2 * (kWidth / 2) + x / 2;
            EXPECT_EQ(cb[at], (128 * 1024 + 512 - 26 * r - 87 * g + 113 * b) >> 10) << x << "," << y;
            EXPECT_EQ(cr[at], (128 * 1024 + 512 + 112 * r - 102 * g - 10 * b) >> 10) << x << "," << y;
        }
}
