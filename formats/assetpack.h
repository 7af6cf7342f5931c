// The asset pack: a plain sequence of entries, each stored or packed into one
// compressed block, read strictly front to back. One pack is open at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

int OpenAssetPack(const char* fileName);
// The next entry's unpacked bytes, owned by the reader and valid until the
// next NextPackEntry, OpenAssetPack or CloseAssetPack; null at the end of the
// pack. `size` (optional) receives the entry's length.
const uint8_t* NextPackEntry(uint32_t* size = nullptr);
void CloseAssetPack();
