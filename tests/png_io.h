// PNG files for the tests, through libpng's simplified API: 800x600 pictures as 0xRRGGBB values,
// row by row.
#pragma once

#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

inline constexpr int PICTURE_W = 800;
inline constexpr int PICTURE_H = 600;

inline bool read_png(const std::string &path, std::vector<std::uint32_t> *picture) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
    return false;
  }
  image.format = PNG_FORMAT_BGRA; // little-endian 0xAARRGGBB
  picture->assign(PNG_IMAGE_SIZE(image) / 4, 0);
  if (image.width != PICTURE_W || image.height != PICTURE_H ||
      png_image_finish_read(&image, nullptr, picture->data(), 0, nullptr) == 0) {
    png_image_free(&image);
    return false;
  }
  for (std::uint32_t &p : *picture) {
    p &= 0xFFFFFF;
  }
  return true;
}

// Writes the picture and returns its path, for a person to look at.
inline std::string write_png(const std::vector<std::uint32_t> &picture, const std::string &path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = PICTURE_W;
  image.height = PICTURE_H;
  image.format = PNG_FORMAT_BGRA;
  std::vector<std::uint32_t> opaque = picture;
  for (std::uint32_t &p : opaque) {
    p |= 0xFF000000;
  }
  png_image_write_to_file(&image, path.c_str(), 0, opaque.data(), 0, nullptr);
  return path;
}
