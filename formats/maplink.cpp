// The link text of a map: [format][CRC-32, little-endian][block], base64url.
// The block carries its own size and check value; the CRC-32 catches what
// that weaker sum would miss, so one changed character is always caught.
#include "formats/maplink.h"

#include "formats/blockcodec.h"
#include "formats/mapfile.h"

namespace {

constexpr char ALPHABET[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
constexpr size_t PREFIX_SIZE = 5;  // format byte and CRC-32

uint32_t Crc32(const uint8_t* data, size_t size) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; i++) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; bit++) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

std::string Base64Url(const std::vector<uint8_t>& bytes) {
  std::string text;
  uint32_t bits = 0;
  int held = 0;
  for (uint8_t byte : bytes) {
    bits = (bits << 8) | byte;
    held += 8;
    while (held >= 6) {
      held -= 6;
      text += ALPHABET[(bits >> held) & 63];
    }
  }
  if (held > 0) text += ALPHABET[(bits << (6 - held)) & 63];
  return text;
}

int DigitValue(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '-') return 62;
  if (c == '_') return 63;
  return -1;
}

// Strict: only the alphabet, no length that leaves a lone digit, and the
// bits past the last byte are zero, so each byte string has one text.
bool FromBase64Url(std::string_view text, std::vector<uint8_t>& bytes) {
  if (text.size() % 4 == 1) return false;
  uint32_t bits = 0;
  int held = 0;
  for (char c : text) {
    const int value = DigitValue(c);
    if (value < 0) return false;
    bits = (bits << 6) | uint32_t(value);
    held += 6;
    if (held >= 8) {
      held -= 8;
      bytes.push_back(uint8_t(bits >> held));
    }
  }
  return (bits & ((1u << held) - 1)) == 0;
}

uint32_t ReadLittleEndian32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

std::string MapToLinkText(const uint8_t* map) {
  std::vector<uint8_t> bytes = {MAP_LINK_FORMAT};
  const uint32_t crc = Crc32(map, MAP_FILE_SIZE);
  for (int shift = 0; shift < 32; shift += 8) bytes.push_back(uint8_t(crc >> shift));
  const std::vector<uint8_t> block = EncodeBlock(map, MAP_FILE_SIZE);
  bytes.insert(bytes.end(), block.begin(), block.end());
  return Base64Url(bytes);
}

std::vector<uint8_t> MapFromLinkText(std::string_view text) {
  std::vector<uint8_t> bytes;
  if (text.size() > MAP_LINK_MAX_TEXT || !FromBase64Url(text, bytes)) return {};
  if (bytes.size() < PREFIX_SIZE + BLOCK_HEADER_SIZE || bytes[0] != MAP_LINK_FORMAT) return {};
  const uint8_t* block = bytes.data() + PREFIX_SIZE;
  const size_t blockSize = bytes.size() - PREFIX_SIZE;
  uint32_t decodedSize = 0, checkValue = 0;
  if (!ReadBlockHeader(block, blockSize, &decodedSize, &checkValue) || decodedSize != MAP_FILE_SIZE) return {};
  std::vector<uint8_t> map(MAP_FILE_SIZE);
  if (DecodeBlock(block, blockSize, map.data(), map.size()) != MAP_FILE_SIZE) return {};
  if (Crc32(map.data(), map.size()) != ReadLittleEndian32(bytes.data() + 1)) return {};
  // The encoder is deterministic: a text it did not write (bits past the
  // stream's end, bytes after it) is no map's text.
  if (MapToLinkText(map.data()) != text) return {};
  return map;
}

std::string_view LinkTextOf(std::string_view link) {
  const size_t key = link.find(MAP_LINK_KEY);
  if (key == std::string_view::npos) return link;
  return link.substr(key + std::char_traits<char>::length(MAP_LINK_KEY));
}
