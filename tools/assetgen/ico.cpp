// Windows icon files: a directory of images, each a PNG file as EncodePng
// writes it (Windows reads PNG entries since Vista).
#include <stdexcept>

#include "assets.h"

namespace {

void PutLe16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutLe32(std::vector<uint8_t>& out, uint32_t v) {
  PutLe16(out, v & 0xFFFF);
  PutLe16(out, v >> 16);
}

}  // namespace

std::vector<uint8_t> EncodeIco(const std::vector<RgbaPicture>& pictures) {
  std::vector<std::vector<uint8_t>> images;
  for (const RgbaPicture& picture : pictures) {
    if (picture.width < 1 || picture.width > 256 || picture.height < 1 || picture.height > 256)
      throw std::invalid_argument("EncodeIco: an icon is 1 to 256 pixels wide and high");
    images.push_back(EncodePng(picture));
  }
  std::vector<uint8_t> out;
  PutLe16(out, 0);  // reserved
  PutLe16(out, 1);  // an icon, not a cursor
  PutLe16(out, static_cast<uint32_t>(images.size()));
  uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    out.push_back(static_cast<uint8_t>(pictures[i].width));  // 256 is written as 0
    out.push_back(static_cast<uint8_t>(pictures[i].height));
    out.push_back(0);  // no palette
    out.push_back(0);  // reserved
    PutLe16(out, 1);   // colour planes
    PutLe16(out, 32);  // bits per pixel
    PutLe32(out, static_cast<uint32_t>(images[i].size()));
    PutLe32(out, offset);
    offset += static_cast<uint32_t>(images[i].size());
  }
  for (const auto& image : images) out.insert(out.end(), image.begin(), image.end());
  return out;
}
