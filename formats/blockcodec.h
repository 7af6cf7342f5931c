// The compressed block of an asset pack entry: "JC", the decoded size, a
// check value and a bit stream of literal, match and control commands read
// most significant bit first from little-endian 32-bit words.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr size_t BLOCK_HEADER_SIZE = 10;

// Decodes `block` (header included) into `out`, which has room for
// `capacity` bytes. Never reads past the block nor writes past `capacity`:
// a stream that would do so, or that copies from before the start of the
// output, stops there. `produced` (optional) receives the number of bytes
// written. Returns that number when the stream ended with its end command
// and the check value over the first decodedSize bytes of `out` holds (or
// is 0), else 0.
size_t DecodeBlock(const uint8_t* block, size_t blockSize, uint8_t* out, size_t capacity,
                   size_t* produced = nullptr);

// The check value of `size` bytes (0 when size < 4).
uint32_t BlockCheckValue(const uint8_t* data, size_t size);

// The block's decodedSize and checkValue fields; false when `block` is too
// short or does not begin with "JC".
bool ReadBlockHeader(const uint8_t* block, size_t blockSize, uint32_t* decodedSize,
                     uint32_t* checkValue);

// Compresses `size` bytes into one block, header and check value included.
std::vector<uint8_t> EncodeBlock(const uint8_t* data, size_t size);

// The longest match the encoder writes. Its cheapest command costs 36 bits,
// so a stream of ours never makes more than ~1820 bytes per bit; the pack
// reader relies on that to bound what a compressed entry may claim.
constexpr uint32_t ENCODER_MAX_MATCH = 65536;
constexpr uint64_t MAX_BYTES_PER_STREAM_BIT = 2048;
// The largest entry a compressed block may unpack to.
constexpr uint64_t MAX_UNPACKED_SIZE = uint64_t(256) << 20;

// Whether a pack entry's sizes can be taken: a stored entry (equal sizes)
// needs its bytes in what is left of the file; a compressed one also may not
// claim more than MAX_UNPACKED_SIZE nor more than its stream can make.
bool PackEntrySizesAcceptable(uint32_t unpackedSize, uint32_t packedSize, uint64_t fileLeft);
