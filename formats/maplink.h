// A map passed on as text, for the fragment of a link to the game page
// (vantor.html#karte=TEXT): a format byte, a CRC-32 over the map's bytes and
// the map packed as one block, in base64url without padding.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr uint8_t MAP_LINK_FORMAT = 1;
// Longer texts are refused before anything is decoded; a packed map, even
// of random bytes, stays far below.
constexpr size_t MAP_LINK_MAX_TEXT = 8192;
constexpr const char* MAP_LINK_KEY = "#karte=";

// `map` holds the MAP_FILE_SIZE bytes of a map file.
std::string MapToLinkText(const uint8_t* map);

// The map's bytes, or an empty vector when the text is too long, not
// base64url, of another format, cut, altered or does not unpack to exactly
// one map.
std::vector<uint8_t> MapFromLinkText(std::string_view text);

// The text of a link (anything up to and including "#karte=", when there);
// the link itself when it has no such key.
std::string_view LinkTextOf(std::string_view link);
