// The three pictures of the about box, as the JPEG files of resources/ hold
// them; compiled into the program when it is built.
#pragma once

#include <span>

namespace brivano {

std::span<const unsigned char> AboutLogoJpeg();     // the maker's logo, 66 x 46
std::span<const unsigned char> AboutBannerJpeg();   // the banner naming the maker, 188 x 18
std::span<const unsigned char> AboutBarCodeJpeg();  // QR code of the home page, 105 x 105

}  // namespace brivano
