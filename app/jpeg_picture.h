// JPEG pictures decoded from memory with libjpeg.
#pragma once

#include <QImage>
#include <cstddef>
#include <span>

namespace brivano {

// Pictures larger than this on either side are refused: a few bytes of header
// can announce a picture of gigabytes.
inline constexpr int kLargestJpegSide = 8192;

// The picture held by `bytes`, or a null image when they are not a whole,
// sound JPEG file: empty, truncated, corrupt data, a colour model that cannot
// be shown as RGB, or a side above kLargestJpegSide. Decoding stops at the
// first fault; no half-decoded picture is ever returned.
QImage DecodeJpeg(std::span<const unsigned char> bytes);

}  // namespace brivano
