#include "app/jpeg_picture.h"

// jpeglib.h needs size_t and FILE declared before it.
#include <csetjmp>
#include <cstdio>
// clang-format off
#include <jpeglib.h>
// clang-format on

namespace brivano {
namespace {

// libjpeg reports fatal errors through error_exit, which must not return:
// it jumps back to the decoder's set-up point instead of ending the process.
struct ErrorManager {
  jpeg_error_mgr library;
  std::jmp_buf recovery;
  int warnings;
};

[[noreturn]] void JumpBack(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->recovery, 1);
}

// Warnings are counted, not printed. A corrupt or truncated scan is only a
// warning to libjpeg, which fills the rest of the picture with grey; for us it
// is a damaged picture like any other.
void CountWarning(j_common_ptr info, int level) {
  if (level < 0) ++reinterpret_cast<ErrorManager*>(info->err)->warnings;
}

// Everything that lives across setjmp is either plain data or owned by the
// caller, so a jump skips no destructor; `image` is only assigned before the
// first library call that may jump out of a scan.
bool DecodeInto(const unsigned char* data, std::size_t size, QImage* image) {
  jpeg_decompress_struct info{};
  ErrorManager errors{};
  info.err = jpeg_std_error(&errors.library);
  errors.library.error_exit = &JumpBack;
  errors.library.emit_message = &CountWarning;
  if (setjmp(errors.recovery)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK || errors.warnings > 0) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  // Grey and YCbCr pictures come out as RGB; CMYK and YCCK ones cannot and
  // end in jpeg_start_decompress with an error.
  info.out_color_space = JCS_RGB;
  if (info.image_width > static_cast<JDIMENSION>(kLargestJpegSide) ||
      info.image_height > static_cast<JDIMENSION>(kLargestJpegSide)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_start_decompress(&info);
  if (info.output_components != 3) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  *image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                  QImage::Format_RGB888);
  if (image->isNull()) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = image->scanLine(static_cast<int>(info.output_scanline));
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  const bool sound = errors.warnings == 0;
  jpeg_destroy_decompress(&info);
  return sound;
}

}  // namespace

QImage DecodeJpeg(std::span<const unsigned char> bytes) {
  QImage image;
  if (bytes.empty() || !DecodeInto(bytes.data(), bytes.size(), &image)) return QImage();
  return image;
}

}  // namespace brivano
