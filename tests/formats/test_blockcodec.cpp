// The block decoder on hand-made bit streams, the check value, hostile
// streams, and encoder/decoder round trips.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "formats/blockcodec.h"

namespace {

// Writes bits most significant first into little-endian 32-bit words, after
// a block header.
struct StreamBuilder {
  std::vector<bool> bits;

  StreamBuilder& Bits(uint64_t value, int n) {
    for (int i = n - 1; i >= 0; i--) bits.push_back((value >> i) & 1);
    return *this;
  }
  StreamBuilder& Gamma(uint64_t n) {
    int top = 63 - __builtin_clzll(n);
    for (int i = top - 1; i >= 0; i--) Bits(n >> i & 1, 1).Bits(i > 0, 1);
    return *this;
  }
  StreamBuilder& Literal(int value, int width = 8) { return Bits(1, 1).Bits(value, width); }
  StreamBuilder& LiteralWidth(int b, int base = 0) {
    Bits(0b001, 3).Bits(0, 4).Bits(0, 1).Bits(b, 1);
    if (b == 0) Bits(base, 8);
    return *this;
  }
  StreamBuilder& ShortMatch(int distance, int length) {
    return Bits(0, 3).Bits(distance, 7).Bits(length - 2, 2);
  }
  StreamBuilder& LongMatch(uint64_t g, uint64_t index, int indexBits, uint64_t length) {
    Bits(0b01, 2).Gamma(g);
    if (g > 2) Bits(index, indexBits);
    return Gamma(length);
  }
  StreamBuilder& Short(int v) { return Bits(0b001, 3).Bits(v, 4); }
  StreamBuilder& IndexBits(int value, int width) {
    return Bits(0, 3).Bits(0, 7).Bits(width - 3, 2).Bits(value, width);
  }
  StreamBuilder& End() { return Bits(0, 12); }

  std::vector<uint8_t> Block(uint32_t decodedSize = 0, uint32_t check = 0) const {
    std::vector<uint8_t> out = {'J', 'C'};
    for (int i = 0; i < 4; i++) out.push_back(uint8_t(decodedSize >> (8 * i)));
    for (int i = 0; i < 4; i++) out.push_back(uint8_t(check >> (8 * i)));
    for (size_t w = 0; w < bits.size(); w += 32) {
      uint32_t word = 0;
      for (size_t i = 0; i < 32; i++) word = word << 1 | (w + i < bits.size() && bits[w + i]);
      for (int i = 0; i < 4; i++) out.push_back(uint8_t(word >> (8 * i)));
    }
    return out;
  }
};

struct Decoded {
  std::vector<uint8_t> bytes;  // the whole output buffer
  size_t produced = 0;
  size_t report = 0;
};

Decoded Decode(const std::vector<uint8_t>& block, size_t capacity = 1024) {
  Decoded d;
  d.bytes.assign(capacity, 0xEE);
  d.report = DecodeBlock(block.data(), block.size(), d.bytes.data(), capacity, &d.produced);
  return d;
}

std::vector<uint8_t> Made(const Decoded& d) {
  return std::vector<uint8_t>(d.bytes.begin(), d.bytes.begin() + d.produced);
}

std::vector<uint8_t> RoundTrip(const std::vector<uint8_t>& data) {
  std::vector<uint8_t> block = EncodeBlock(data.data(), data.size());
  std::vector<uint8_t> out(data.size() + 16, 0xEE);
  size_t produced = 0;
  size_t report = DecodeBlock(block.data(), block.size(), out.data(), out.size(), &produced);
  EXPECT_EQ(produced, data.size());
  EXPECT_EQ(report, data.size());  // ended properly with a matching check value
  out.resize(produced);
  return out;
}

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

}  // namespace

TEST(CheckValue, KnownVectors) {
  std::vector<uint8_t> abcd = Bytes("abcd"), abcde = Bytes("abcde");
  EXPECT_EQ(BlockCheckValue(abcd.data(), 4), 0xACA5A6A2u);
  EXPECT_EQ(BlockCheckValue(abcde.data(), 5), 0xD8C2CCC1u);
  EXPECT_EQ(BlockCheckValue(abcd.data(), 3), 0u);
  EXPECT_EQ(BlockCheckValue(abcd.data(), 0), 0u);
  // The last word of 5 bytes is bytes 1..4, so byte 0 counts once, byte 4 once.
  std::vector<uint8_t> x = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  std::vector<uint8_t> y = x;
  y[4] ^= 0x10;
  EXPECT_NE(BlockCheckValue(x.data(), 9), BlockCheckValue(y.data(), 9));
}

TEST(Decoder, LiteralsAndWidths) {
  // Literal width B = 0 with base 0x41: the 7-bit literal 0x05 is 0x46.
  auto d = Decode(StreamBuilder().Literal(0x10).LiteralWidth(0, 0x41).Literal(0x05, 7)
                      .Literal(0x7F, 7).LiteralWidth(1).Literal(0xC3).End().Block());
  EXPECT_EQ(Made(d), (std::vector<uint8_t>{0x10, 0x46, 0xC0, 0xC3}));
  EXPECT_EQ(d.report, 4u);
  // The base wraps modulo 256.
  d = Decode(StreamBuilder().LiteralWidth(0, 0xF0).Literal(0x20, 7).End().Block());
  EXPECT_EQ(Made(d), (std::vector<uint8_t>{0x10}));
}

TEST(Decoder, ShortCommands) {
  // Distance 1 length 5 after 0x41; zero byte; single bytes from distances 1..14.
  auto d = Decode(StreamBuilder().Literal(0x41).ShortMatch(1, 5).Short(1).Literal(0x42)
                      .Short(3).Short(9).End().Block());
  std::vector<uint8_t> expect = {0x41, 0x41, 0x41, 0x41, 0x41, 0x41, 0x00, 0x42, 0x00, 0x41};
  EXPECT_EQ(Made(d), expect);
  // A short match sets the last offset; a single-byte copy does not.
  d = Decode(StreamBuilder().Literal(1).Literal(2).Literal(3).ShortMatch(3, 2).Short(2)
                 .LongMatch(2, 0, 0, 2).End().Block());
  EXPECT_EQ(Made(d), (std::vector<uint8_t>{1, 2, 3, 1, 2, 2, 1, 2}));
}

TEST(Decoder, RawRuns) {
  StreamBuilder s;
  s.Literal(7).Short(0).Bits(1, 1);
  for (int i = 0; i < 256; i++) s.Bits(i, 8);
  s.Bits(1, 1);
  for (int i = 0; i < 256; i++) s.Bits(255 - i, 8);
  s.Bits(0, 1).Literal(9).End();
  auto d = Decode(s.Block(), 2000);
  ASSERT_EQ(d.produced, 514u);
  EXPECT_EQ(d.bytes[0], 7);
  EXPECT_EQ(d.bytes[1], 0);
  EXPECT_EQ(d.bytes[256], 255);
  EXPECT_EQ(d.bytes[257], 255);
  EXPECT_EQ(d.bytes[512], 0);
  EXPECT_EQ(d.bytes[513], 9);
}

TEST(Decoder, LongMatchesAndLengthBonus) {
  // 300 distinct-ish bytes as 8-bit literals, then matches at chosen distances.
  auto prefix = [](StreamBuilder& s, int n) {
    for (int i = 0; i < n; i++) s.Literal((i * 7 + i / 256) & 0xFF);
  };
  // G = 3, indexBits 8, index 0x20: D = 32, length 2 + 4.
  StreamBuilder a;
  prefix(a, 300);
  a.LongMatch(3, 0x20, 8, 2).End();
  auto d = Decode(a.Block(), 400);
  ASSERT_EQ(d.produced, 306u);
  for (int i = 0; i < 6; i++) EXPECT_EQ(d.bytes[300 + i], d.bytes[268 + i]);
  // Index 0x80: D = 128 and no bonus.
  StreamBuilder b;
  prefix(b, 300);
  b.LongMatch(3, 0x80, 8, 2).LongMatch(2, 0, 0, 3).End();  // then a repeat of length 3
  d = Decode(b.Block(), 400);
  ASSERT_EQ(d.produced, 305u);
  for (int i = 0; i < 5; i++) EXPECT_EQ(d.bytes[300 + i], d.bytes[172 + i]);
  // G = 4: D = 256 + index; and the bonuses at 639, 14335 and 65536.
  struct Case {
    uint32_t distance;
    uint32_t bonus;
  } cases[] = {{638, 0}, {639, 1}, {14334, 1}, {14335, 2}, {65535, 2}, {65536, 3}, {127, 4}};
  for (const Case& c : cases) {
    StreamBuilder s;
    s.Short(0).Bits(1, 1);  // raw runs of a counter pattern, enough history
    int runs = int(c.distance / 256) + 1;
    for (int r = 0; r < runs; r++) {
      for (int i = 0; i < 256; i++) s.Bits((i + r * 3) & 0xFF, 8);
      s.Bits(r + 1 < runs, 1);
    }
    s.LongMatch((c.distance >> 8) + 3, c.distance & 0xFF, 8, 2).End();
    auto m = Decode(s.Block(), size_t(runs) * 256 + 16);
    ASSERT_EQ(m.produced, size_t(runs) * 256 + 2 + c.bonus) << c.distance;
    size_t start = size_t(runs) * 256;
    for (size_t i = 0; i < 2 + c.bonus; i++) EXPECT_EQ(m.bytes[start + i], m.bytes[start + i - c.distance]);
  }
}

TEST(Decoder, IndexBitsChange) {
  StreamBuilder s;
  for (int i = 0; i < 40; i++) s.Literal(i);
  // indexBits 4 (width 5 command): G = 4, index 3 -> D = 16 + 3 = 19; length 2 + 4.
  s.IndexBits(4, 5).LongMatch(4, 3, 4, 2);
  // indexBits 0 (width 4): G = 3 + 10 -> D = 10; the repeat uses it too.
  s.IndexBits(0, 4).LongMatch(13, 0, 0, 2).LongMatch(2, 0, 0, 2).End();
  auto d = Decode(s.Block());
  ASSERT_EQ(d.produced, 40u + 6 + 6 + 2);
  for (int i = 0; i < 6; i++) EXPECT_EQ(d.bytes[40 + i], d.bytes[21 + i]);
  for (int i = 0; i < 8; i++) EXPECT_EQ(d.bytes[46 + i], d.bytes[36 + i]);
}

TEST(Decoder, EndAndHeader) {
  // Four zero bytes after the header: end at once, empty output.
  std::vector<uint8_t> block = {'J', 'C', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  auto d = Decode(block);
  EXPECT_EQ(d.produced, 0u);
  EXPECT_EQ(d.bytes[0], 0xEE);
  // Without "JC" nothing is decoded.
  block[0] = 'X';
  EXPECT_EQ(Decode(block).produced, 0u);
  EXPECT_EQ(Decode(std::vector<uint8_t>{'J', 'C', 0}).produced, 0u);
  // A check value that does not hold: output kept, report 0.
  auto good = StreamBuilder().Literal(1).Literal(2).Literal(3).Literal(4).End();
  std::vector<uint8_t> bytes = {1, 2, 3, 4};
  uint32_t check = BlockCheckValue(bytes.data(), 4);
  EXPECT_EQ(Decode(good.Block(4, check)).report, 4u);
  d = Decode(good.Block(4, check ^ 1));
  EXPECT_EQ(d.report, 0u);
  EXPECT_EQ(Made(d), bytes);
}

TEST(Decoder, HostileStreamsStopInBounds) {
  // Writing past the capacity: stops, keeps what fitted.
  auto d = Decode(StreamBuilder().Literal(1).Literal(2).Literal(3).Literal(4).End().Block(), 2);
  EXPECT_EQ(d.produced, 2u);
  EXPECT_EQ(d.report, 0u);
  d = Decode(StreamBuilder().Literal(1).ShortMatch(1, 5).End().Block(), 4);
  EXPECT_EQ(d.produced, 1u);
  d = Decode(StreamBuilder().Literal(1).LongMatch(2, 0, 0, 1u << 30).End().Block(), 64);
  EXPECT_EQ(d.produced, 1u);
  // Distances before the start of the output, or 0.
  d = Decode(StreamBuilder().Literal(1).ShortMatch(2, 2).End().Block());
  EXPECT_EQ(d.produced, 1u);
  d = Decode(StreamBuilder().Short(2).End().Block());
  EXPECT_EQ(d.produced, 0u);
  d = Decode(StreamBuilder().Literal(1).LongMatch(3, 0, 8, 2).End().Block());
  EXPECT_EQ(d.produced, 1u);
  d = Decode(StreamBuilder().Literal(1).IndexBits(63, 6).LongMatch(5, 0, 63, 2).End().Block());
  EXPECT_EQ(d.produced, 1u);
  d = Decode(StreamBuilder().Literal(1).IndexBits(40, 6).LongMatch(3, uint64_t(1) << 39, 40, 2).End().Block());
  EXPECT_EQ(d.produced, 1u);
  // Reading past the block: a stream without its end command stops at the
  // end of its last word.
  auto noEnd = StreamBuilder().Literal(5).Literal(6).Literal(7).Block();
  d = Decode(noEnd);
  EXPECT_EQ(d.report, 0u);
  EXPECT_LE(d.produced, 4u);  // the padding of the last word may read as one more literal
  EXPECT_EQ(d.bytes[0], 5);
  // A block cut in the middle of a word.
  auto whole = StreamBuilder().Literal(5).Literal(6).Literal(7).End().Block();
  whole.resize(whole.size() - 2);
  d = Decode(whole);
  EXPECT_LE(d.produced, 3u);
  // An endless gamma number.
  StreamBuilder g;
  g.Literal(1).Bits(0b01, 2);
  for (int i = 0; i < 200; i++) g.Bits(0b11, 2);
  d = Decode(g.Block());
  EXPECT_EQ(d.produced, 1u);
  // A raw run cut short.
  StreamBuilder r;
  r.Short(0).Bits(1, 1);
  for (int i = 0; i < 100; i++) r.Bits(0xAB, 8);
  d = Decode(r.Block(), 1000);
  EXPECT_LE(d.produced, 104u);
  EXPECT_EQ(d.report, 0u);
}

TEST(Encoder, RoundTripsEveryShortLength) {
  std::mt19937 rng(1);
  std::vector<uint8_t> data;
  for (size_t n = 0; n <= 3000; n++) {
    data.resize(n);
    for (size_t i = 0; i < n; i++) {
      // Mixed content: stretches of repeats, zeros and noise.
      uint32_t r = rng();
      data[i] = (i % 97 < 40) ? uint8_t(r) : (i % 97 < 60) ? 0 : data[i >= 13 ? i - 13 : 0];
    }
    ASSERT_EQ(RoundTrip(data), data) << "length " << n;
  }
}

TEST(Encoder, RoundTripsVariedContent) {
  std::mt19937 rng(2);
  std::vector<std::vector<uint8_t>> inputs;
  std::vector<uint8_t> random(100000);
  for (auto& b : random) b = uint8_t(rng());
  inputs.push_back(random);
  inputs.push_back(std::vector<uint8_t>(200000, 0));
  inputs.push_back(std::vector<uint8_t>(70000, 0xFF));
  std::vector<uint8_t> sparse(150000, 0);
  for (int i = 0; i < 300; i++) sparse[rng() % sparse.size()] = uint8_t(rng());
  inputs.push_back(sparse);
  std::string text;
  const char* words[] = {"Gefangene ", "Zielplattform ", "Startpunkt ", "Karte ", "und ", "der "};
  while (text.size() < 120000) text += words[rng() % 6];
  inputs.push_back(Bytes(text));
  std::vector<uint8_t> narrow(50000);  // fits 7-bit literals with a base
  for (auto& b : narrow) b = uint8_t(0x90 + rng() % 100);
  inputs.push_back(narrow);
  std::vector<uint8_t> pixels;  // magenta background with a gradient shape
  for (int y = 0; y < 200; y++) {
    for (int x = 0; x < 300; x++) {
      bool inside = (x - 150) * (x - 150) + (y - 100) * (y - 100) < 80 * 80;
      pixels.push_back(inside ? uint8_t(x) : 255);
      pixels.push_back(inside ? uint8_t(y) : 0);
      pixels.push_back(inside ? uint8_t(x + y) : 255);
    }
  }
  inputs.push_back(pixels);
  std::vector<uint8_t> far(300000);  // a long block repeated far away
  for (size_t i = 0; i < 100000; i++) far[i] = far[i + 200000] = uint8_t(rng());
  inputs.push_back(far);
  for (size_t k = 0; k < inputs.size(); k++) {
    EXPECT_TRUE(RoundTrip(inputs[k]) == inputs[k]) << "input " << k;
  }
  // Compressible inputs shrink a lot; noise costs little more than stored.
  auto size = [](const std::vector<uint8_t>& d) { return EncodeBlock(d.data(), d.size()).size(); };
  EXPECT_LT(size(inputs[1]), 100u);
  EXPECT_LT(size(inputs[7]), 100000u + 1000);
  EXPECT_LT(size(random), random.size() + random.size() / 100);
  EXPECT_LT(size(narrow), narrow.size() * 101 / 100);  // 7-bit literals pay for the raw-run gap
  EXPECT_LT(size(pixels), pixels.size() / 2);
}

TEST(Encoder, RoundTripsMegabytesAndIsDeterministic) {
  std::mt19937 rng(3);
  std::vector<uint8_t> data(3 << 20);
  // A sound-like signal with repeated bars.
  for (size_t i = 0; i < data.size(); i += 2) {
    int16_t s = int16_t(3000 * ((i / 200) % 2 ? 1 : -1) + int(rng() % 64));
    if (i >= 400000 && (i / 400000) % 2) {
      memcpy(&data[i], &data[i - 400000], 2);
    } else {
      memcpy(&data[i], &s, 2);
    }
  }
  EXPECT_TRUE(RoundTrip(data) == data);
  EXPECT_EQ(EncodeBlock(data.data(), 100000), EncodeBlock(data.data(), 100000));
}
