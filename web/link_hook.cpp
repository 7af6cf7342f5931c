// The link codec for the pages: the page writes a map or a link text into
// the buffers these return and reads the other form back, so the pages pack
// and unpack links with the same code as vantormap.
#include <emscripten.h>

#include <cstdint>
#include <string>
#include <vector>

#include "formats/mapfile.h"
#include "formats/maplink.h"

namespace {

uint8_t* MapBuffer() {
  static std::vector<uint8_t> map(MAP_FILE_SIZE);
  return map.data();
}

std::string& TextBuffer() {
  static std::string text;
  return text;
}

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE uint8_t* vantor_link_map() { return MapBuffer(); }

// Room for a text of `length` bytes and its end; a longer one than a link
// may be gets no room (0).
extern "C" EMSCRIPTEN_KEEPALIVE char* vantor_link_text(int length) {
  if (length < 0 || size_t(length) > MAP_LINK_MAX_TEXT) return nullptr;
  TextBuffer().assign(size_t(length), '\0');
  return TextBuffer().data();
}

// The map buffer to link text; returns the text.
extern "C" EMSCRIPTEN_KEEPALIVE const char* vantor_link_encode() {
  TextBuffer() = MapToLinkText(MapBuffer());
  return TextBuffer().c_str();
}

// The text buffer to the map buffer: 1, or 0 when the text holds no valid map.
extern "C" EMSCRIPTEN_KEEPALIVE int vantor_link_decode() {
  const std::vector<uint8_t> map = MapFromLinkText(TextBuffer());
  if (map.empty()) return 0;
  std::copy(map.begin(), map.end(), MapBuffer());
  return 1;
}
