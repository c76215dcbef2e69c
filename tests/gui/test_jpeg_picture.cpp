// JPEG decoding: sound files of every kind libjpeg writes come out whole;
// damaged ones come out as a null image, never as half a picture or a crash.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
// clang-format off
#include <jpeglib.h>
// clang-format on

#include "app/jpeg_picture.h"
#include "resources/about_pictures.h"

namespace brivano {
namespace {

using Bytes = std::vector<unsigned char>;

enum class Model { Colour, Grey, Cmyk };

// A picture of four coloured quarters, written by libjpeg itself.
Bytes Encode(int width, int height, Model model, bool progressive = false) {
  const QColor quarters[4] = {QColor(220, 30, 30), QColor(30, 200, 30), QColor(30, 30, 220),
                              QColor(240, 240, 40)};
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = model == Model::Grey ? 1 : model == Model::Cmyk ? 4 : 3;
  info.in_color_space = model == Model::Grey   ? JCS_GRAYSCALE
                        : model == Model::Cmyk ? JCS_CMYK
                                               : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 95, TRUE);
  if (progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<unsigned char> row(static_cast<std::size_t>(width * info.input_components));
  while (info.next_scanline < info.image_height) {
    const int y = static_cast<int>(info.next_scanline);
    for (int x = 0; x < width; ++x) {
      const QColor& c = quarters[(y < height / 2 ? 0 : 2) + (x < width / 2 ? 0 : 1)];
      unsigned char* pixel = &row[static_cast<std::size_t>(x * info.input_components)];
      if (model == Model::Grey) {
        pixel[0] = static_cast<unsigned char>(qGray(c.rgb()));
      } else if (model == Model::Cmyk) {
        pixel[0] = pixel[1] = pixel[2] = 255;
        pixel[3] = static_cast<unsigned char>(qGray(c.rgb()));
      } else {
        pixel[0] = static_cast<unsigned char>(c.red());
        pixel[1] = static_cast<unsigned char>(c.green());
        pixel[2] = static_cast<unsigned char>(c.blue());
      }
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  Bytes bytes(buffer, buffer + size);
  std::free(buffer);
  return bytes;
}

QImage Decode(const Bytes& bytes) {
  return DecodeJpeg(std::span<const unsigned char>(bytes.data(), bytes.size()));
}

bool Near(QRgb pixel, const QColor& expected) {
  return std::abs(qRed(pixel) - expected.red()) <= 12 &&
         std::abs(qGreen(pixel) - expected.green()) <= 12 &&
         std::abs(qBlue(pixel) - expected.blue()) <= 12;
}

TEST(DecodeJpeg, SoundFilesComeOutWholeWithTheirColours) {
  struct Case {
    const char* name;
    Model model;
    bool progressive;
    QColor topLeft, topRight, bottomLeft, bottomRight;
  };
  const QColor grey[4] = {
      QColor(qGray(qRgb(220, 30, 30)), qGray(qRgb(220, 30, 30)), qGray(qRgb(220, 30, 30))),
      QColor(qGray(qRgb(30, 200, 30)), qGray(qRgb(30, 200, 30)), qGray(qRgb(30, 200, 30))),
      QColor(qGray(qRgb(30, 30, 220)), qGray(qRgb(30, 30, 220)), qGray(qRgb(30, 30, 220))),
      QColor(qGray(qRgb(240, 240, 40)), qGray(qRgb(240, 240, 40)), qGray(qRgb(240, 240, 40)))};
  const Case cases[] = {
      {"colour, baseline", Model::Colour, false, QColor(220, 30, 30), QColor(30, 200, 30),
       QColor(30, 30, 220), QColor(240, 240, 40)},
      {"colour, progressive", Model::Colour, true, QColor(220, 30, 30), QColor(30, 200, 30),
       QColor(30, 30, 220), QColor(240, 240, 40)},
      {"grey", Model::Grey, false, grey[0], grey[1], grey[2], grey[3]},
  };
  for (const Case& c : cases) {
    const QImage image = Decode(Encode(64, 48, c.model, c.progressive));
    ASSERT_FALSE(image.isNull()) << c.name;
    EXPECT_EQ(image.size(), QSize(64, 48)) << c.name;
    EXPECT_TRUE(Near(image.pixel(16, 12), c.topLeft)) << c.name;
    EXPECT_TRUE(Near(image.pixel(48, 12), c.topRight)) << c.name;
    EXPECT_TRUE(Near(image.pixel(16, 36), c.bottomLeft)) << c.name;
    EXPECT_TRUE(Near(image.pixel(48, 36), c.bottomRight)) << c.name;
  }
}

// The last row and column of an odd-sized picture are decoded too.
TEST(DecodeJpeg, OddSizesKeepEveryPixel) {
  const QImage image = Decode(Encode(17, 9, Model::Colour));
  ASSERT_EQ(image.size(), QSize(17, 9));
  EXPECT_TRUE(Near(image.pixel(16, 8), QColor(240, 240, 40)));
}

TEST(DecodeJpeg, DamagedFilesGiveANullImage) {
  const Bytes sound = Encode(64, 48, Model::Colour);
  const Bytes progressive = Encode(64, 48, Model::Colour, true);
  auto cut = [](const Bytes& bytes, std::size_t size) {
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
  };
  // The start-of-frame segment holds the height at +5 and the width at +7.
  auto withFrameSize = [&](int width, int height) {
    Bytes bytes = sound;
    for (std::size_t i = 0; i + 9 < bytes.size(); ++i) {
      if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {
        bytes[i + 5] = static_cast<unsigned char>(height >> 8);
        bytes[i + 6] = static_cast<unsigned char>(height & 0xFF);
        bytes[i + 7] = static_cast<unsigned char>(width >> 8);
        bytes[i + 8] = static_cast<unsigned char>(width & 0xFF);
        break;
      }
    }
    return bytes;
  };
  // The entropy-coded data ends early: an end-of-image marker halfway.
  Bytes endedEarly = cut(sound, sound.size() / 2);
  endedEarly.push_back(0xFF);
  endedEarly.push_back(0xD9);
  Bytes garbage(4000);
  unsigned seed = 12345;
  for (unsigned char& byte : garbage) {
    seed = seed * 1103515245u + 12345u;
    byte = static_cast<unsigned char>(seed >> 16);
  }
  Bytes garbageAfterStart = garbage;
  garbageAfterStart[0] = 0xFF;
  garbageAfterStart[1] = 0xD8;
  const Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};

  struct Case {
    const char* name;
    Bytes bytes;
  };
  const Case cases[] = {
      {"empty", {}},
      {"start-of-image marker only", {0xFF, 0xD8}},
      {"cut inside the headers", cut(sound, 100)},
      {"cut inside the scan", cut(sound, sound.size() * 2 / 3)},
      {"cut before the end-of-image marker", cut(sound, sound.size() - 2)},
      {"progressive, cut after the first scans", cut(progressive, progressive.size() / 2)},
      {"end of image halfway through the scan", endedEarly},
      {"garbage", garbage},
      {"garbage after a start-of-image marker", garbageAfterStart},
      {"a PNG header", png},
      {"frame of width 0", withFrameSize(0, 48)},
      {"frame larger than the largest picture", withFrameSize(kLargestJpegSide + 1, 48)},
      {"frame of 60000 x 60000", withFrameSize(60000, 60000)},
      {"CMYK, which has no RGB form", Encode(16, 16, Model::Cmyk)},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(Decode(c.bytes).isNull()) << c.name;
  }
  // The sound file itself decodes, so each case fails by its own fault.
  EXPECT_FALSE(Decode(sound).isNull());
  EXPECT_FALSE(Decode(progressive).isNull());
}

// A cut at any byte gives a null image; only the whole file gives a picture.
TEST(DecodeJpeg, EveryTruncationIsRefused) {
  const Bytes sound = Encode(24, 16, Model::Colour);
  for (std::size_t size = 0; size < sound.size(); ++size) {
    const Bytes cut(sound.begin(), sound.begin() + static_cast<std::ptrdiff_t>(size));
    ASSERT_TRUE(Decode(cut).isNull()) << "cut at " << size << " of " << sound.size();
  }
}

TEST(DecodeJpeg, ShippedPictures) {
  const QImage logo = DecodeJpeg(AboutLogoJpeg());
  const QImage banner = DecodeJpeg(AboutBannerJpeg());
  const QImage barCode = DecodeJpeg(AboutBarCodeJpeg());
  EXPECT_EQ(logo.size(), QSize(66, 46));
  EXPECT_EQ(banner.size(), QSize(188, 18));
  ASSERT_EQ(barCode.size(), QSize(105, 105));
  // The QR code: 3 pixels a module behind a quiet zone of 5 modules; the
  // finder pattern in the top left corner is a dark ring, a light ring and a
  // dark centre.
  auto moduleIsDark = [&](int column, int row) {
    return qGray(barCode.pixel(15 + 3 * column + 1, 15 + 3 * row + 1)) < 96;
  };
  auto moduleIsLight = [&](int column, int row) {
    return qGray(barCode.pixel(15 + 3 * column + 1, 15 + 3 * row + 1)) > 160;
  };
  EXPECT_TRUE(moduleIsLight(-1, -1));
  for (int i = 0; i < 7; ++i) {
    EXPECT_TRUE(moduleIsDark(i, 0) && moduleIsDark(0, i) && moduleIsDark(i, 6) &&
                moduleIsDark(6, i))
        << i;
  }
  for (int i = 1; i < 6; ++i) {
    EXPECT_TRUE(moduleIsLight(i, 1) && moduleIsLight(1, i) && moduleIsLight(i, 5) &&
                moduleIsLight(5, i))
        << i;
  }
  EXPECT_TRUE(moduleIsDark(3, 3));
  EXPECT_TRUE(moduleIsLight(7, 3));  // the separator
}

}  // namespace
}  // namespace brivano
