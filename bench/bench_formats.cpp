// Measures the block codec on asset-pack content against zlib.
//
//   bench_formats [PACK]
//
// Uses the entries of PACK (or of the game's built pack when one is found);
// otherwise synthesises content like the game's: 24-bit BMP sprite sheets
// on magenta with shaded shapes and gradients, full-screen pictures, and
// 16-bit PCM WAV effects and music. Prints "name: value" lines.
#include <zlib.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "formats/assetpack.h"
#include "formats/blockcodec.h"

namespace {

using Bytes = std::vector<uint8_t>;

double Seconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void Put16(Bytes& b, uint32_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
void Put32(Bytes& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

// ---- Synthetic content ------------------------------------------------------------

struct Image {
  int w, h;
  std::vector<uint32_t> px;  // 0x00RRGGBB
  Image(int width, int height, uint32_t fill) : w(width), h(height), px(size_t(width) * height, fill) {}
  void Set(int x, int y, uint32_t c) {
    if (x >= 0 && y >= 0 && x < w && y < h) px[size_t(y) * w + x] = c;
  }
};

uint32_t Rgb(double r, double g, double b) {
  auto c = [](double v) { return uint32_t(v < 0 ? 0 : v > 255 ? 255 : v); };
  return c(r) << 16 | c(g) << 8 | c(b);
}

Bytes Bmp24(const Image& im) {
  int stride = (im.w * 3 + 3) & ~3;
  Bytes b = {'B', 'M'};
  Put32(b, uint32_t(54 + stride * im.h));
  Put32(b, 0);
  Put32(b, 54);
  Put32(b, 40);
  Put32(b, uint32_t(im.w));
  Put32(b, uint32_t(im.h));
  Put16(b, 1);
  Put16(b, 24);
  for (int i = 0; i < 6; i++) Put32(b, 0);
  for (int y = im.h - 1; y >= 0; y--) {
    for (int x = 0; x < im.w; x++) {
      uint32_t c = im.px[size_t(y) * im.w + x];
      b.push_back(uint8_t(c));
      b.push_back(uint8_t(c >> 8));
      b.push_back(uint8_t(c >> 16));
    }
    for (int p = im.w * 3; p < stride; p++) b.push_back(0);
  }
  return b;
}

// A shaded ball lit from the top left, in a frame of a sheet.
void Ball(Image& im, double cx, double cy, double r, double hue) {
  for (int y = int(cy - r); y <= int(cy + r); y++) {
    for (int x = int(cx - r); x <= int(cx + r); x++) {
      double dx = (x - cx) / r, dy = (y - cy) / r;
      double d = dx * dx + dy * dy;
      if (d > 1) continue;
      double light = 0.35 + 0.65 * std::sqrt(1 - d) * (0.6 - 0.4 * (dx + dy));
      im.Set(x, y, Rgb(255 * light * hue, 200 * light, 255 * light * (1 - hue)));
    }
  }
}

Bytes SpriteSheet(int frames, int fw, int fh, int rows, double hue) {
  Image im(fw * frames / rows, fh * rows, 0xFF00FF);
  for (int f = 0; f < frames; f++) {
    double ox = (f % (frames / rows)) * fw, oy = (f / (frames / rows)) * fh;
    double phase = 6.2832 * f / frames;
    Ball(im, ox + fw / 2.0 + std::cos(phase) * fw / 8, oy + fh / 2.0, fh * 0.35, hue);
    for (int x = 0; x < fw; x++) {  // a shaded bar under the ball
      for (int y = int(fh * 0.85); y < fh; y++) im.Set(int(ox) + x, int(oy) + y, Rgb(60 + x, 60 + x, 80));
    }
  }
  return Bmp24(im);
}

Bytes Tiles(double hue, int style) {
  Image im(800, 80, 0xFF00FF);
  for (int f = 0; f < 10; f++) {
    for (int y = 0; y < 80; y++) {
      for (int x = 0; x < 80; x++) {
        double brick = ((y / 10) % 2 ? (x + 20) % 40 : x % 40) < 2 || y % 10 == 0 ? 0.5 : 1.0;
        double shade = (0.6 + 0.4 * (1 - y / 80.0)) * brick * (0.9 + 0.1 * std::sin(f * 0.6 + x * 0.2));
        if (style == 1 && (x - 40) * (x - 40) + (y - 40) * (y - 40) > 1300) continue;
        im.Set(f * 80 + x, y, Rgb(200 * shade * hue, 150 * shade, 120 * shade * (1 - hue)));
      }
    }
  }
  return Bmp24(im);
}

Bytes Screen(int w, int h, uint32_t seed) {
  Image im(w, h, 0);
  std::mt19937 rng(seed);
  for (int y = 0; y < h; y++) {  // sky gradient
    for (int x = 0; x < w; x++) im.px[size_t(y) * w + x] = Rgb(20 + y * 0.1, 30 + y * 0.2, 90 + y * 0.25);
  }
  for (int i = 0; i < 150; i++) im.Set(int(rng() % w), int(rng() % (h / 2)), 0xFFFFFF);  // stars
  for (int x = 0; x < w; x++) {  // hills
    int top = int(h * 0.7 + std::sin(x * 0.013) * 40 + std::sin(x * 0.05) * 10);
    for (int y = top; y < h; y++) im.px[size_t(y) * w + x] = Rgb(30, 90 + (y - top) * 0.3, 40);
  }
  for (int i = 0; i < 8; i++) Ball(im, 100 + i * 80, h * 0.4, 30, i / 8.0);
  for (int y = 40; y < 100; y++) {  // a title band
    for (int x = 150; x < w - 150; x++) {
      if ((x / 12 + y / 12) % 3 == 0) im.px[size_t(y) * w + x] = Rgb(240, 200 - (y - 40) * 2, 40);
    }
  }
  return Bmp24(im);
}

Bytes Wav16(const std::vector<int16_t>& samples, int rate) {
  Bytes b = {'R', 'I', 'F', 'F'};
  Put32(b, uint32_t(36 + samples.size() * 2));
  for (char c : std::string("WAVEfmt ")) b.push_back(uint8_t(c));
  Put32(b, 16);
  Put16(b, 1);
  Put16(b, 1);
  Put32(b, uint32_t(rate));
  Put32(b, uint32_t(rate * 2));
  Put16(b, 2);
  Put16(b, 16);
  for (char c : std::string("data")) b.push_back(uint8_t(c));
  Put32(b, uint32_t(samples.size() * 2));
  for (int16_t s : samples) Put16(b, uint16_t(s));
  return b;
}

Bytes Explosion(uint32_t seed, double seconds) {
  std::mt19937 rng(seed);
  std::vector<int16_t> s(size_t(22050 * seconds));
  double low = 0;
  for (size_t i = 0; i < s.size(); i++) {
    double env = std::exp(-3.0 * i / s.size());
    low = low * 0.9 + (int(rng() % 2001) - 1000) * 0.1;
    s[i] = int16_t(low * 20 * env);
  }
  return Wav16(s, 22050);
}

Bytes Chirp() {
  std::vector<int16_t> s(6000);
  double phase = 0;
  for (size_t i = 0; i < s.size(); i++) {
    phase += 2 * M_PI * (1800 - 0.25 * i) / 22050;
    s[i] = int16_t(9000 * std::sin(phase) * (1 - double(i) / s.size()));
  }
  return Wav16(s, 22050);
}

// Square and sine voices on a repeating bass line: repeated bars.
Bytes Music(int bars, int seed) {
  const int rate = 22050, bar = rate * 2;
  const int notes[8] = {0, 3, 7, 10, 12, 7, 5, 3};
  std::vector<int16_t> s(size_t(bar) * bars);
  for (int b = 0; b < bars; b++) {
    for (int n = 0; n < 8; n++) {
      double freq = 220 * std::pow(2.0, (notes[(n + b * seed) % 8] + (b % 4 == 3 ? 5 : 0)) / 12.0);
      int period = int(rate / freq);
      for (int i = 0; i < bar / 8; i++) {
        size_t at = size_t(b) * bar + size_t(n) * (bar / 8) + i;
        int square = (i % period) < period / 2 ? 2500 : -2500;
        int bass = int(3000 * std::sin(2 * M_PI * (i % (period * 2)) / (period * 2)));
        double env = std::exp(-3.0 * i / (bar / 8));
        s[at] = int16_t((square + bass) * env);
      }
    }
  }
  return Wav16(s, rate);
}

std::vector<Bytes> Synthesize() {
  std::vector<Bytes> e;
  for (int t = 0; t < 7; t++) e.push_back(Tiles(t / 7.0, t % 2));
  e.push_back(SpriteSheet(1, 8, 8, 1, 0.5));
  e.push_back(SpriteSheet(30, 80, 40, 6, 0.3));
  e.push_back(Screen(200, 200, 1));
  for (int i = 0; i < 3; i++) e.push_back(SpriteSheet(10, 40, 40, 1, i / 3.0));
  e.push_back(Screen(800, 160, 2));
  e.push_back(Screen(800, 600, 3));
  e.push_back(Screen(800, 600, 4));
  e.push_back(Screen(800, 600, 5));
  e.push_back(SpriteSheet(1, 256, 256, 1, 0.8));
  e.push_back(Explosion(1, 0.4));
  e.push_back(Music(6, 1));
  e.push_back(Music(8, 3));
  e.push_back(Explosion(2, 1.2));
  e.push_back(Chirp());
  return e;
}

bool Exists(const char* path) {
  struct stat info;
  return stat(path, &info) == 0;
}

std::vector<Bytes> PackEntries(const char* path) {
  std::vector<Bytes> entries;
  if (!OpenAssetPack(path)) return entries;
  uint32_t size;
  while (const uint8_t* entry = NextPackEntry(&size)) entries.emplace_back(entry, entry + size);
  CloseAssetPack();
  return entries;
}

}  // namespace

int main(int argc, char** argv) {
  // The game's pack as seen from the repository, a build folder or its bin/.
  const char* defaultPacks[] = {"build/run/vantor.pak", "run/vantor.pak", "../run/vantor.pak"};
  std::vector<Bytes> entries;
  std::string source = "synthetic";
  if (argc > 1) {
    entries = PackEntries(argv[1]);
    source = argv[1];
  } else {
    for (const char* path : defaultPacks) {
      if (entries.empty() && Exists(path)) {
        entries = PackEntries(path);
        source = path;
      }
    }
  }
  if (entries.empty()) {
    entries = Synthesize();
    source = "synthetic";
  }

  size_t rawTotal = 0, ourTotal = 0, zlibTotal = 0;
  double encodeTime = 0, decodeTime = 0, inflateTime = 0, deflateTime = 0;
  size_t decodedBytes = 0, inflatedBytes = 0;
  bool allRoundTrip = true;
  std::vector<size_t> perEntry;  // our size / zlib's, in thousandths
  for (const Bytes& e : entries) {
    rawTotal += e.size();
    double t0 = Seconds();
    Bytes block = EncodeBlock(e.data(), e.size());
    encodeTime += Seconds() - t0;
    ourTotal += std::min(block.size(), e.size());
    perEntry.push_back(std::min(block.size(), e.size()));

    uLongf zlibSize = compressBound(e.size());
    Bytes z(zlibSize);
    t0 = Seconds();
    compress2(z.data(), &zlibSize, e.data(), e.size(), 9);
    deflateTime += Seconds() - t0;
    zlibTotal += std::min<size_t>(zlibSize, e.size());
    perEntry.back() = perEntry.back() * 1000 / std::max<size_t>(1, std::min<size_t>(zlibSize, e.size()));

    // Decode and inflate repeatedly for at least ~50 ms each.
    Bytes out(e.size() + 1);
    int rounds = 0;
    t0 = Seconds();
    do {
      size_t produced;
      DecodeBlock(block.data(), block.size(), out.data(), e.size(), &produced);
      if (rounds == 0 && (produced != e.size() || memcmp(out.data(), e.data(), e.size()) != 0)) allRoundTrip = false;
      rounds++;
    } while (Seconds() - t0 < 0.05);
    decodeTime += (Seconds() - t0) / rounds;
    decodedBytes += e.size();
    rounds = 0;
    t0 = Seconds();
    do {
      uLongf outSize = out.size();
      uncompress(out.data(), &outSize, z.data(), zlibSize);
      rounds++;
    } while (Seconds() - t0 < 0.05);
    inflateTime += (Seconds() - t0) / rounds;
    inflatedBytes += e.size();
  }
  double decodeMBs = decodedBytes / decodeTime / 1e6;
  double inflateMBs = inflatedBytes / inflateTime / 1e6;
  printf("source: %s\n", source.c_str());
  printf("entries: %zu\n", entries.size());
  printf("unpacked_bytes: %zu\n", rawTotal);
  printf("packed_bytes: %zu\n", ourTotal);
  printf("zlib9_bytes: %zu\n", zlibTotal);
  printf("round_trip_ok: %d\n", allRoundTrip ? 1 : 0);
  printf("encode_mb_per_s: %.1f\n", rawTotal / encodeTime / 1e6);
  printf("zlib9_deflate_mb_per_s: %.1f\n", rawTotal / deflateTime / 1e6);
  printf("decode_mb_per_s: %.1f\n", decodeMBs);
  printf("zlib_inflate_mb_per_s: %.1f\n", inflateMBs);
  printf("pack_size_vs_zlib9: %.3f\n", double(ourTotal) / double(zlibTotal));
  printf("decode_vs_zlib: %.3f\n", decodeMBs / inflateMBs);
  for (size_t i = 0; i < perEntry.size(); i++) {
    printf("entry_%02zu_bytes: %zu\n", i + 1, entries[i].size());
    printf("entry_%02zu_vs_zlib9: %.3f\n", i + 1, perEntry[i] / 1000.0);
  }
  return 0;
}
