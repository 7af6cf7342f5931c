// Block decoder, check value and encoder.
#include "formats/blockcodec.h"

#include <algorithm>
#include <cstring>

namespace {

inline uint32_t Load32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline void Store32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  p[2] = uint8_t(v >> 16);
  p[3] = uint8_t(v >> 24);
}

inline uint32_t RotateLeft1(uint32_t v) { return v << 1 | v >> 31; }

// ---- Decoder ---------------------------------------------------------------

// Bits are taken most significant first from successive little-endian
// 32-bit words. A word is loaded only when its first bit is needed, so
// running out of words means the stream asked for bits it does not have.
// A last word cut short by the end of the block is padded with zero bits.
struct BitReader {
  const uint8_t* next;
  const uint8_t* end;
  uint64_t bits = 0;  // unread bits, left-aligned
  int count = 0;
  bool failed = false;
};

inline bool LoadWord(BitReader& r) {
  uint32_t word;
  if (r.end - r.next >= 4) {
    word = Load32(r.next);
    r.next += 4;
  } else if (r.next < r.end) {
    uint8_t tail[4] = {};
    memcpy(tail, r.next, size_t(r.end - r.next));
    word = Load32(tail);
    r.next = r.end;
  } else {
    r.failed = true;
    return false;
  }
  r.bits |= uint64_t(word) << (32 - r.count);
  r.count += 32;
  return true;
}

inline uint32_t TakeBit(BitReader& r) {
  if (r.count == 0 && !LoadWord(r)) return 0;
  uint32_t bit = uint32_t(r.bits >> 63);
  r.bits <<= 1;
  r.count--;
  return bit;
}

// n from 0 to 32.
inline uint32_t TakeBits(BitReader& r, int n) {
  if (n == 0) return 0;
  if (r.count < n && !LoadWord(r)) return 0;
  uint32_t value = uint32_t(r.bits >> (64 - n));
  r.bits <<= n;
  r.count -= n;
  return value;
}

// Gamma numbers beyond this cannot be a sane length or distance part; the
// stream is treated as broken.
constexpr uint64_t GAMMA_LIMIT = uint64_t(1) << 40;

inline uint64_t TakeGamma(BitReader& r) {
  uint64_t value = 1;
  do {
    value = 2 * value + TakeBit(r);
    if (value > GAMMA_LIMIT) r.failed = true;
  } while (!r.failed && TakeBit(r));
  return value;
}

struct Output {
  uint8_t* start;
  uint8_t* pos;
  uint8_t* end;
};

// Copies forwards byte by byte where source and destination overlap, so a
// distance below the length repeats the last `distance` bytes.
inline bool CopyMatch(Output& o, uint64_t distance, uint64_t length) {
  if (distance == 0 || distance > uint64_t(o.pos - o.start)) return false;
  if (length > uint64_t(o.end - o.pos)) return false;
  uint8_t* dst = o.pos;
  const uint8_t* src = dst - distance;
  o.pos += length;
  if (distance >= length) {
    memcpy(dst, src, length);
  } else if (distance >= 8) {
    while (length >= 8) {
      memcpy(dst, src, 8);
      dst += 8;
      src += 8;
      length -= 8;
    }
    while (length--) *dst++ = *src++;
  } else {
    while (length--) *dst++ = *src++;
  }
  return true;
}

inline uint64_t LengthBonus(uint64_t distance) {
  if (distance >= 0x10000) return 3;
  if (distance >= 0x37FF) return 2;
  if (distance >= 0x27F) return 1;
  if (distance >= 128) return 0;
  return 4;
}

// Runs the command loop; true when the end command was reached.
bool RunStream(BitReader& r, Output& o) {
  uint64_t lastOffset = 1;
  int indexBits = 8;
  int literalBits = 8;
  uint32_t literalBase = 0;
  for (;;) {
    if (TakeBit(r)) {  // literal
      uint32_t value = TakeBits(r, literalBits);
      if (r.failed || o.pos == o.end) return false;
      *o.pos++ = uint8_t(value + literalBase);
      continue;
    }
    if (TakeBit(r)) {  // long match
      uint64_t g = TakeGamma(r);
      if (r.failed) return false;
      uint64_t distance = lastOffset;
      uint64_t length;
      if (g == 2) {
        length = TakeGamma(r);
      } else {
        // Distances of 2^40 and more lie before the start of any output.
        uint64_t high = g - 3;
        if (indexBits >= 40 ? high != 0 : high >= (uint64_t(1) << (40 - indexBits))) return false;
        uint64_t low = indexBits > 32 ? uint64_t(TakeBits(r, indexBits - 32)) << 32 : 0;
        low |= TakeBits(r, indexBits > 32 ? 32 : indexBits);
        distance = (high << indexBits) | low;
        lastOffset = distance;
        length = TakeGamma(r);
        length += LengthBonus(distance);
      }
      if (r.failed || !CopyMatch(o, distance, length)) return false;
      continue;
    }
    if (TakeBit(r)) {  // short command
      uint32_t v = TakeBits(r, 4);
      if (r.failed) return false;
      if (v == 1) {
        if (o.pos == o.end) return false;
        *o.pos++ = 0;
      } else if (v >= 2) {
        if (!CopyMatch(o, v - 1, 1)) return false;
      } else if (TakeBit(r)) {  // raw runs of 256 bytes
        do {
          for (int i = 0; i < 256; i++) {
            uint32_t value = TakeBits(r, 8);
            if (r.failed || o.pos == o.end) return false;
            *o.pos++ = uint8_t(value);
          }
        } while (TakeBit(r));
        if (r.failed) return false;
      } else {  // literal width
        literalBits = 7 + int(TakeBit(r));
        literalBase = 0;
        if (literalBits == 7) literalBase = TakeBits(r, 8);
        if (r.failed) return false;
      }
      continue;
    }
    // short match or control
    uint32_t distance = TakeBits(r, 7);
    uint32_t length = TakeBits(r, 2) + 2;
    if (r.failed) return false;
    if (distance != 0) {
      lastOffset = distance;
      if (!CopyMatch(o, distance, length)) return false;
    } else if (length == 2) {
      return true;
    } else {
      indexBits = int(TakeBits(r, int(length) + 1));
      if (r.failed) return false;
    }
  }
}

}  // namespace

bool ReadBlockHeader(const uint8_t* block, size_t blockSize, uint32_t* decodedSize,
                     uint32_t* checkValue) {
  if (blockSize < BLOCK_HEADER_SIZE || block[0] != 'J' || block[1] != 'C') return false;
  if (decodedSize) *decodedSize = Load32(block + 2);
  if (checkValue) *checkValue = Load32(block + 6);
  return true;
}

bool PackEntrySizesAcceptable(uint32_t unpackedSize, uint32_t packedSize, uint64_t fileLeft) {
  if (packedSize > fileLeft) return false;
  if (packedSize == unpackedSize) return true;
  // A compressed entry's unpackedSize is only a claim; it is bounded before
  // anything is allocated for it.
  uint64_t streamBits = packedSize > BLOCK_HEADER_SIZE ? 8 * (uint64_t(packedSize) - BLOCK_HEADER_SIZE) : 0;
  return unpackedSize <= MAX_UNPACKED_SIZE && unpackedSize <= streamBits * MAX_BYTES_PER_STREAM_BIT;
}

uint32_t BlockCheckValue(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  uint32_t sum = 0;
  size_t i = 0;
  for (; i + 4 <= size; i += 4) {
    uint32_t w = Load32(data + i);
    sum = (sum + w) ^ (RotateLeft1(w) + 1);
  }
  if (i < size) {  // the last word overlaps the one before
    uint32_t w = Load32(data + size - 4);
    sum = (sum + w) ^ (RotateLeft1(w) + 1);
  }
  return sum;
}

size_t DecodeBlock(const uint8_t* block, size_t blockSize, uint8_t* out, size_t capacity,
                   size_t* produced) {
  if (produced) *produced = 0;
  uint32_t decodedSize, checkValue;
  if (!ReadBlockHeader(block, blockSize, &decodedSize, &checkValue)) return 0;
  BitReader r;
  r.next = block + BLOCK_HEADER_SIZE;
  r.end = block + blockSize;
  Output o{out, out, out + capacity};
  bool ended = RunStream(r, o);
  size_t made = size_t(o.pos - o.start);
  if (produced) *produced = made;
  if (!ended) return 0;
  if (checkValue == 0) return made;
  // The check runs over decodedSize bytes of the buffer; a size beyond the
  // buffer cannot hold.
  if (decodedSize > capacity) return 0;
  return BlockCheckValue(out, decodedSize) == checkValue ? made : 0;
}

// ---- Encoder -------------------------------------------------------------------
//
// Hash-chain match finding over an 8 MiB window, a shortest-path parse over
// bit costs (every command the decoder knows, with the last offset carried
// along the best path), a choice of the index width from the distances of
// a first parse, a second parse with the literal costs that follow from the
// first one's literal widths, and a final pass that places the literal-width
// commands where they pay off.

namespace {

constexpr uint32_t NONE = UINT32_MAX;
constexpr int MAX_HASH_BITS = 17;
constexpr uint32_t WINDOW = 1u << 23;
constexpr int CHAIN_DEPTH = 32;
constexpr uint32_t NICE_LENGTH = 128;     // a match this long is taken at once
constexpr uint32_t PARSE_CHUNK = 1u << 20;  // positions parsed in one piece
constexpr uint32_t RAW_RUN = 256;
constexpr int LITERAL_BASES = 32;  // 7-bit literal bases tried: 0, 8, ..., 248

inline int GammaBits(uint64_t n) { return 2 * (63 - __builtin_clzll(n)); }

inline uint32_t MatchLength(const uint8_t* a, const uint8_t* b, uint32_t limit) {
  uint32_t n = 0;
  while (n + 8 <= limit) {
    uint64_t x, y;
    memcpy(&x, a + n, 8);
    memcpy(&y, b + n, 8);
    if (x != y) return n + uint32_t(__builtin_ctzll(x ^ y) >> 3);
    n += 8;
  }
  while (n < limit && a[n] == b[n]) n++;
  return n;
}

struct Candidate {
  uint32_t distance;
  uint32_t length;
};

struct MatchFinder {
  const uint8_t* data;
  uint32_t size;
  uint32_t mask;
  int hashBits = 10;  // grows with the input, so that small inputs start fast
  std::vector<uint32_t> head;  // 3-byte hash -> latest position
  std::vector<uint32_t> prev;  // position (in the window ring) -> older position, same hash
  std::vector<uint32_t> last2;  // 2-byte hash -> latest position
  uint32_t inserted = 0;

  MatchFinder(const uint8_t* d, uint32_t n) : data(d), size(n) {
    uint32_t ring = 1;
    while (ring < n && ring < WINDOW) ring <<= 1;
    mask = ring - 1;
    while (hashBits < MAX_HASH_BITS && (uint32_t(1) << hashBits) < n) hashBits++;
    head.assign(size_t(1) << hashBits, NONE);
    prev.assign(ring, NONE);
    last2.assign(size_t(1) << std::min(hashBits, 16), NONE);
  }

  uint32_t Hash3(uint32_t pos) const {
    uint32_t v = uint32_t(data[pos]) | uint32_t(data[pos + 1]) << 8 | uint32_t(data[pos + 2]) << 16;
    return (v * 2654435761u) >> (32 - hashBits);
  }

  uint32_t Hash2(uint32_t pos) const {
    uint32_t v = uint32_t(data[pos]) | uint32_t(data[pos + 1]) << 8;
    return (v * 2654435761u) >> (32 - std::min(hashBits, 16));
  }

  void InsertUpTo(uint32_t end) {
    for (; inserted < end; inserted++) {
      uint32_t pos = inserted;
      if (pos + 3 <= size) {
        uint32_t h = Hash3(pos);
        prev[pos & mask] = head[h];
        head[h] = pos;
      }
      if (pos + 2 <= size) last2[Hash2(pos)] = pos;
    }
  }

  // Matches at `pos` (positions before it inserted), nearest first, each
  // longer than the one before.
  void Find(uint32_t pos, uint32_t maxLength, std::vector<Candidate>& out) {
    out.clear();
    if (maxLength < 2) return;
    const uint8_t* here = data + pos;
    uint32_t best = 1;
    uint32_t c = last2[Hash2(pos)];
    if (c != NONE && pos - c < WINDOW) {
      uint32_t length = MatchLength(here, data + c, maxLength);
      if (length >= 2) {
        best = length;
        out.push_back({pos - c, best});
        if (best >= maxLength || best >= NICE_LENGTH) return;
      }
    }
    if (maxLength < 3) return;
    c = head[Hash3(pos)];
    for (int depth = 0; depth < CHAIN_DEPTH && c != NONE; depth++) {
      uint32_t distance = pos - c;
      if (distance >= WINDOW || distance == 0) break;
      const uint8_t* there = data + c;
      if (there[best] == here[best]) {
        uint32_t length = MatchLength(here, there, maxLength);
        if (length > best) {
          best = length;
          if (!out.empty() && out.back().distance == distance) {
            out.back().length = length;
          } else {
            out.push_back({distance, length});
          }
          if (length >= maxLength || length >= NICE_LENGTH) break;
        }
      }
      c = prev[c & mask];
    }
  }
};

enum Kind : uint8_t { LITERAL, ZERO, NEAR_BYTE, REPEAT, MATCH, RAW };

struct Command {
  Kind kind;
  uint32_t length;
  uint32_t distance;  // NEAR_BYTE, REPEAT and MATCH
};

inline uint32_t LongMatchBits(uint32_t distance, uint32_t length, int indexBits) {
  uint32_t bonus = uint32_t(LengthBonus(distance));
  if (length < bonus + 2) return NONE;
  return 2 + GammaBits((uint64_t(distance) >> indexBits) + 3) + indexBits + GammaBits(length - bonus);
}

inline uint32_t MatchBits(uint32_t distance, uint32_t length, int indexBits) {
  if (distance <= 127 && length <= 5) return 12;
  return LongMatchBits(distance, length, indexBits);
}

inline uint32_t RepeatBits(uint32_t length) { return 4 + GammaBits(length); }

struct Parser {
  const uint8_t* data;
  uint32_t size;
  int indexBits;
  const std::vector<uint8_t>& literalBits;  // cost of a literal at each position

  // Per position of the current piece: best cost so far and how it was reached.
  std::vector<uint32_t> cost, length, distance, repeat;
  std::vector<Kind> kind;

  void Relax(uint32_t to, uint32_t bits, Kind k, uint32_t len, uint32_t dist, uint32_t rep) {
    if (bits < cost[to]) {
      cost[to] = bits;
      kind[to] = k;
      length[to] = len;
      distance[to] = dist;
      repeat[to] = rep;
    }
  }

  void Run(std::vector<Command>& commands) {
    MatchFinder finder(data, size);
    std::vector<Candidate> candidates;
    uint32_t repeatOffset = 1;
    size_t piece = std::min<size_t>(size, PARSE_CHUNK) + 1;
    cost.resize(piece);
    length.resize(piece);
    distance.resize(piece);
    repeat.resize(piece);
    kind.resize(piece);
    for (uint32_t start = 0; start < size; start += PARSE_CHUNK) {
      uint32_t n = std::min<uint32_t>(size - start, PARSE_CHUNK);
      std::fill(cost.begin(), cost.begin() + n + 1, NONE);
      cost[0] = 0;
      repeat[0] = repeatOffset;
      kind[0] = LITERAL;
      for (uint32_t j = 0; j < n;) j = Expand(finder, candidates, start, n, j);
      size_t first = commands.size();
      for (uint32_t j = n; j > 0; j -= length[j]) {
        commands.push_back({kind[j], length[j], distance[j]});
      }
      std::reverse(commands.begin() + first, commands.end());
      repeatOffset = repeat[n];
    }
  }

  // Relaxes every command starting at piece position j; returns the next
  // position to expand.
  uint32_t Expand(MatchFinder& finder, std::vector<Candidate>& candidates, uint32_t start,
                  uint32_t n, uint32_t j) {
    uint32_t pos = start + j;
    uint32_t here = cost[j];
    uint32_t rep = repeat[j];
    uint8_t byte = data[pos];
    Relax(j + 1, here + literalBits[pos], LITERAL, 1, 0, rep);
    if (byte == 0) {
      Relax(j + 1, here + 7, ZERO, 1, 0, rep);
    } else {
      for (uint32_t d = 1; d <= 14 && d <= pos; d++) {
        if (data[pos - d] == byte) {
          Relax(j + 1, here + 7, NEAR_BYTE, 1, d, rep);
          break;
        }
      }
    }
    if (pos + RAW_RUN <= start + n) {
      Relax(j + RAW_RUN, here + (kind[j] == RAW && j > 0 ? 1 : 9) + 8 * RAW_RUN, RAW, RAW_RUN, 0, rep);
    }
    uint32_t maxLength = std::min(std::min(n - j, size - pos), ENCODER_MAX_MATCH);
    finder.InsertUpTo(pos);
    if (maxLength < 2) return j + 1;

    uint32_t repLength = rep <= pos ? MatchLength(data + pos, data + pos - rep, maxLength) : 0;
    if (repLength >= NICE_LENGTH) {
      Relax(j + repLength, here + RepeatBits(repLength), REPEAT, repLength, rep, rep);
      finder.InsertUpTo(pos + repLength);
      return j + repLength;
    }
    for (uint32_t len = 2; len <= repLength; len++) {
      Relax(j + len, here + RepeatBits(len), REPEAT, len, rep, rep);
    }

    finder.Find(pos, maxLength, candidates);
    if (candidates.empty()) return j + 1;
    const Candidate& longest = candidates.back();
    if (longest.length >= NICE_LENGTH) {
      uint32_t bits = longest.distance == rep ? RepeatBits(longest.length)
                                              : MatchBits(longest.distance, longest.length, indexBits);
      if (bits != NONE) {
        Kind k = longest.distance == rep ? REPEAT : MATCH;
        Relax(j + longest.length, here + bits, k, longest.length, longest.distance, longest.distance);
        finder.InsertUpTo(pos + longest.length);
        return j + longest.length;
      }
    }
    uint32_t shorter = 1;
    for (const Candidate& c : candidates) {
      if (c.distance == rep) {
        shorter = c.length;
        continue;  // covered by the repeat above
      }
      for (uint32_t len = shorter + 1; len <= c.length; len++) {
        uint32_t bits = MatchBits(c.distance, len, indexBits);
        if (bits != NONE) Relax(j + len, here + bits, MATCH, len, c.distance, c.distance);
      }
      shorter = c.length;
    }
    return j + 1;
  }
};

// The index width that codes the parse's long-match distances in the fewest
// bits, counting the command that sets it.
int ChooseIndexBits(const std::vector<Command>& commands, int current) {
  std::vector<uint32_t> distances;
  for (const Command& c : commands) {
    if (c.kind == MATCH && !(c.distance <= 127 && c.length <= 5)) distances.push_back(c.distance);
  }
  int best = current;
  uint64_t bestBits = UINT64_MAX;
  for (int bits = 0; bits <= 24; bits++) {
    uint64_t total = bits == 8 ? 0 : 12 + (bits < 16 ? 4 : 5);
    for (uint32_t d : distances) total += GammaBits((uint64_t(d) >> bits) + 3) + bits;
    if (total < bestBits) {
      bestBits = total;
      best = bits;
    }
  }
  return best;
}

// Literal widths: state 0 is 8-bit literals, state s > 0 7-bit literals
// with base 8 * (s - 1). Returns, per literal, its state and whether a
// literal-width command comes before it.
struct LiteralPlan {
  std::vector<uint8_t> state;
  std::vector<uint8_t> switchBefore;
};

inline int BaseOf(int state) { return 8 * (state - 1); }
inline bool Fits(uint8_t byte, int state) { return state == 0 || uint8_t(byte - BaseOf(state)) < 128; }
inline uint32_t SwitchBits(int state) { return state == 0 ? 9 : 17; }
inline uint32_t LiteralBitsIn(int state) { return state == 0 ? 9 : 8; }

LiteralPlan PlanLiterals(const std::vector<uint8_t>& literals) {
  constexpr int STATES = LITERAL_BASES + 1;
  size_t n = literals.size();
  LiteralPlan plan;
  plan.state.resize(n);
  plan.switchBefore.resize(n);
  if (n == 0) return plan;
  std::vector<uint64_t> switched(n);  // bit s: state s was entered by a switch before literal k
  std::vector<uint8_t> from(n);       // the state switched from
  uint32_t cost[STATES];
  std::fill(cost, cost + STATES, NONE);
  uint32_t bestCost = 0;  // before the first literal a width command is always written
  int bestState = 0;
  for (size_t k = 0; k < n; k++) {
    uint64_t mask = 0;
    uint32_t next[STATES];
    for (int s = 0; s < STATES; s++) {
      if (!Fits(literals[k], s)) {
        next[s] = NONE;
        continue;
      }
      uint32_t stay = cost[s];
      uint32_t change = bestCost + SwitchBits(s);
      if (change < stay) {
        stay = change;
        mask |= uint64_t(1) << s;
      }
      next[s] = stay + LiteralBitsIn(s);
    }
    switched[k] = mask;
    from[k] = uint8_t(bestState);
    bestCost = NONE;
    for (int s = 0; s < STATES; s++) {
      cost[s] = next[s];
      if (next[s] < bestCost) {
        bestCost = next[s];
        bestState = s;
      }
    }
  }
  int s = bestState;
  for (size_t k = n; k-- > 0;) {
    plan.state[k] = uint8_t(s);
    if (switched[k] >> s & 1) {
      plan.switchBefore[k] = 1;
      s = from[k];
    }
  }
  return plan;
}

std::vector<uint8_t> LiteralsOf(const std::vector<Command>& commands, const uint8_t* data) {
  std::vector<uint8_t> literals;
  size_t pos = 0;
  for (const Command& c : commands) {
    if (c.kind == LITERAL) literals.push_back(data[pos]);
    pos += c.length;
  }
  return literals;
}

// Literal costs for a second parse: 8 bits where the first parse ran 7-bit
// literals whose window holds the byte, else 9.
std::vector<uint8_t> LiteralCosts(const std::vector<Command>& commands, const LiteralPlan& plan,
                                  const uint8_t* data, uint32_t size) {
  std::vector<uint8_t> bits(size, 9);
  size_t pos = 0, k = 0;
  int state = 0;
  for (const Command& c : commands) {
    if (c.kind == LITERAL) state = plan.state[k++];
    for (uint32_t i = 0; i < c.length; i++, pos++) {
      if (state != 0 && Fits(data[pos], state)) bits[pos] = 8;
    }
  }
  return bits;
}

struct BitWriter {
  std::vector<uint8_t>& out;
  uint64_t pending = 0;  // bits not yet written, right-aligned
  int count = 0;

  void Put(uint32_t value, int n) {  // n from 0 to 32
    if (n == 0) return;
    pending = pending << n | (value & (uint32_t(-1) >> (32 - n)));
    count += n;
    if (count >= 32) {
      count -= 32;
      uint32_t word = uint32_t(pending >> count);
      uint8_t b[4];
      Store32(b, word);
      out.insert(out.end(), b, b + 4);
    }
  }
  void PutGamma(uint64_t n) {
    int top = 63 - __builtin_clzll(n);
    for (int i = top - 1; i >= 0; i--) Put(uint32_t((n >> i & 1) << 1 | (i > 0)), 2);
  }
  void Finish() {
    if (count > 0) Put(0, 32 - count);
  }
};

void WriteStream(BitWriter& w, const std::vector<Command>& commands, const LiteralPlan& plan,
                 const uint8_t* data, int indexBits) {
  if (indexBits != 8) {
    int width = indexBits < 16 ? 4 : indexBits < 32 ? 5 : 6;
    w.Put(0, 3);
    w.Put(0, 7);
    w.Put(uint32_t(width - 3), 2);
    w.Put(uint32_t(indexBits), width);
  }
  size_t pos = 0, k = 0;
  bool inRaw = false;
  for (const Command& c : commands) {
    bool continuesRun = inRaw && c.kind == RAW;
    if (inRaw) w.Put(continuesRun ? 1 : 0, 1);
    inRaw = false;
    switch (c.kind) {
      case LITERAL: {
        int state = plan.state[k];
        if (plan.switchBefore[k]) {
          w.Put(0b00100000, 8);
          w.Put(state == 0 ? 1 : 0, 1);
          if (state != 0) w.Put(uint32_t(BaseOf(state)), 8);
        }
        k++;
        if (state == 0) {
          w.Put(0x100 | data[pos], 9);
        } else {
          w.Put(0x80 | uint8_t(data[pos] - BaseOf(state)), 8);
        }
        break;
      }
      case ZERO:
        w.Put(0b0010001, 7);
        break;
      case NEAR_BYTE:
        w.Put(0b0010000 | (c.distance + 1), 7);
        break;
      case REPEAT:
        w.Put(0b0100, 4);  // 0, 1, then gamma 2
        w.PutGamma(c.length);
        break;
      case MATCH:
        if (c.distance <= 127 && c.length <= 5) {
          w.Put(0, 3);
          w.Put(c.distance, 7);
          w.Put(c.length - 2, 2);
        } else {
          w.Put(0b01, 2);
          w.PutGamma((uint64_t(c.distance) >> indexBits) + 3);
          w.Put(c.distance & ((uint64_t(1) << indexBits) - 1), indexBits);
          w.PutGamma(c.length - LengthBonus(c.distance));
        }
        break;
      case RAW:
        // A run right after a run continues it with the 1 bit written above.
        if (!continuesRun) w.Put(0b00100001, 8);
        for (uint32_t i = 0; i < RAW_RUN; i++) w.Put(data[pos + i], 8);
        inRaw = true;
        break;
    }
    pos += c.length;
  }
  if (inRaw) w.Put(0, 1);
  w.Put(0, 12);  // end
  w.Finish();
}

}  // namespace

std::vector<uint8_t> EncodeBlock(const uint8_t* data, size_t size) {
  if (size > MAX_UNPACKED_SIZE) return {};
  uint32_t n = uint32_t(size);
  std::vector<uint8_t> literalBits(n, 9);
  std::vector<Command> commands;
  Parser first{data, n, 8, literalBits, {}, {}, {}, {}, {}};
  first.Run(commands);
  int indexBits = ChooseIndexBits(commands, 8);
  LiteralPlan plan = PlanLiterals(LiteralsOf(commands, data));
  literalBits = LiteralCosts(commands, plan, data, n);
  commands.clear();
  Parser second{data, n, indexBits, literalBits, {}, {}, {}, {}, {}};
  second.Run(commands);
  plan = PlanLiterals(LiteralsOf(commands, data));

  std::vector<uint8_t> out(BLOCK_HEADER_SIZE);
  out[0] = 'J';
  out[1] = 'C';
  Store32(&out[2], n);
  Store32(&out[6], BlockCheckValue(data, size));
  out.reserve(BLOCK_HEADER_SIZE + size / 2 + 64);
  BitWriter w{out};
  WriteStream(w, commands, plan, data, indexBits);
  return out;
}
