// Measures the media layer's hot paths: keyed drawing of sprite-sheet frames
// into the 800 x 600 back buffer (compared with SDL's colour-keyed RLE blit
// doing the same work) and the pixel collision test. Prints "name: value".
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "media/headless.h"
#include "media/internal.h"
#include "media/media.h"

namespace {

constexpr int W = 800, H = 600;
constexpr int FRAMES = 10;
constexpr uint32_t MAGENTA = 0xFF00FF;

using Clock = std::chrono::steady_clock;

// A sheet of FRAMES frames of a rock-like shape turning, with two holes, in
// shades of grey-brown on magenta: a mix of short and long runs per row.
std::vector<uint32_t> RockSheet(int size) {
  std::vector<uint32_t> px(size_t(size) * FRAMES * size, MAGENTA);
  const double c = size / 2.0, r0 = size * 0.38;
  for (int f = 0; f < FRAMES; ++f)
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        double dx = x + 0.5 - c, dy = y + 0.5 - c, a = std::atan2(dy, dx) + f * 0.6;
        double r = r0 + size * 0.08 * std::sin(3 * a) + size * 0.04 * std::sin(7 * a + f);
        double d = std::hypot(dx, dy);
        bool hole = std::hypot(dx - size * 0.12, dy + size * 0.1) < size * 0.07 ||
                    std::hypot(dx + size * 0.15, dy - size * 0.12) < size * 0.05;
        if (d < r && !hole) {
          int shade = 90 + int(60 * (1 - d / r)) + (x * 7 + y * 3) % 13;
          px[size_t(y) * size * FRAMES + size_t(f) * size + x] = uint32_t(shade | (shade * 3 / 4) << 8 | (shade / 2) << 16);
        }
      }
  return px;
}

std::vector<uint8_t> Bmp24(int w, int h, const std::vector<uint32_t>& px) {
  size_t stride = (size_t(w) * 3 + 3) / 4 * 4;
  std::vector<uint8_t> b(54 + stride * h, 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, uint32_t(b.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, uint32_t(w));
  put32(22, uint32_t(h));
  b[26] = 1;
  b[28] = 24;
  for (int r = 0; r < h; ++r)
    for (int x = 0; x < w; ++x) {
      uint32_t c = px[size_t(h - 1 - r) * w + x];
      uint8_t* p = &b[54 + r * stride + 3 * x];
      p[0] = uint8_t(c >> 16);
      p[1] = uint8_t(c >> 8);
      p[2] = uint8_t(c);
    }
  return b;
}

struct Place {
  int x, y, frame;
};

// Positions that keep the whole frame on the screen, so every draw moves size^2 pixels.
std::vector<Place> Places(int size, int count) {
  std::vector<Place> places;
  uint32_t s = 12345;
  for (int i = 0; i < count; ++i) {
    s = s * 1664525u + 1013904223u;
    int x = int(s >> 8) % (W - size), y = int(s >> 16) % (H - size);
    places.push_back({x, y, i % FRAMES});
  }
  return places;
}

template <typename F>
double BestSeconds(int repeats, F&& work) {
  double best = 1e9;
  for (int r = 0; r < repeats; ++r) {
    auto t0 = Clock::now();
    work();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
  }
  return best;
}

struct KeyedResult {
  double ours, sdl;  // pixels per second
  bool same;
};

KeyedResult CompareKeyed(int n, int size, int draws) {
  std::vector<uint32_t> sheet = RockSheet(size);
  std::vector<uint8_t> bmp = Bmp24(size * FRAMES, size, sheet);
  MakePicture(n, bmp.data(), bmp.size());
  SetPictureKey(n, MAGENTA);
  std::vector<Place> places = Places(size, draws);

  auto ours = [&] {
    for (const Place& p : places) {
      SetPictureSection(n, p.frame * size, 0, size, size);
      DrawPictureKeyed(n, p.x, p.y);
    }
  };

  SDL_Surface* src = SDL_CreateRGBSurfaceWithFormat(0, size * FRAMES, size, 32, SDL_PIXELFORMAT_XBGR8888);
  SDL_Surface* dst = SDL_CreateRGBSurfaceWithFormat(0, W, H, 32, SDL_PIXELFORMAT_XBGR8888);
  for (int y = 0; y < size; ++y)
    std::memcpy(static_cast<uint8_t*>(src->pixels) + size_t(y) * src->pitch, &sheet[size_t(y) * size * FRAMES],
                size_t(size) * FRAMES * 4);
  SDL_SetColorKey(src, SDL_TRUE, MAGENTA);
  SDL_SetSurfaceRLE(src, 1);
  auto sdl = [&] {
    for (const Place& p : places) {
      SDL_Rect from{p.frame * size, 0, size, size}, to{p.x, p.y, size, size};
      SDL_BlitSurface(src, &from, dst, &to);
    }
  };

  // Same draws on the same background must give the same picture.
  std::fill(Screen().hidden.begin(), Screen().hidden.end(), 0);
  SDL_FillRect(dst, nullptr, 0);
  ours();
  sdl();
  bool same = true;
  for (int y = 0; y < H && same; ++y)
    same = std::memcmp(&Screen().hidden[size_t(y) * W], static_cast<uint8_t*>(dst->pixels) + size_t(y) * dst->pitch,
                       W * 4) == 0;

  double pixels = double(draws) * size * size;
  KeyedResult r{pixels / BestSeconds(7, ours), pixels / BestSeconds(7, sdl), same};
  SDL_FreeSurface(src);
  SDL_FreeSurface(dst);
  return r;
}

volatile int sink;

double CollideNs(int p, int px, int py, int q, int qx, int qy, int* result) {
  constexpr int CALLS = 200000;
  double s = BestSeconds(5, [&] {
    int hits = 0;
    for (int i = 0; i < CALLS; ++i) hits += PicturesCollide(p, px, py, q, qx, qy);
    sink = hits;
  });
  *result = PicturesCollide(p, px, py, q, qx, qy);
  return s * 1e9 / CALLS;
}

}  // namespace

int main() {
  headless::Use();
  if (!OpenDisplay(W, H, 32, "Bench")) {
    std::printf("error: no display\n");
    return 1;
  }

  KeyedResult big = CompareKeyed(1, 80, 4000);
  KeyedResult small = CompareKeyed(2, 40, 16000);
  std::printf("keyed_draw_80_mpixels_per_s: %.0f\n", big.ours / 1e6);
  std::printf("sdl_keyed_blit_80_mpixels_per_s: %.0f\n", big.sdl / 1e6);
  std::printf("keyed_draw_vs_sdl: %.2f\n", big.ours / big.sdl);
  std::printf("keyed_draw_40_mpixels_per_s: %.0f\n", small.ours / 1e6);
  std::printf("sdl_keyed_blit_40_mpixels_per_s: %.0f\n", small.sdl / 1e6);
  std::printf("keyed_draw_40_vs_sdl: %.2f\n", small.ours / small.sdl);
  std::printf("keyed_draw_matches_sdl: %d\n", big.same && small.same ? 1 : 0);
  std::printf("keyed_80_frames_per_16ms: %.0f\n", big.ours * 0.016 / (80 * 80));

  // Two rock frames: overlapping solidly, overlapping only in their
  // transparent corners (the whole overlap is walked), and far apart.
  SetPictureSection(1, 0, 0, 80, 80);
  int result = 0;
  double hit = CollideNs(1, 100, 100, 1, 120, 110, &result);
  std::printf("collide_overlap_hit_ns: %.1f (result %d)\n", hit, result);
  double corner = CollideNs(1, 100, 100, 1, 168, 168, &result);
  std::printf("collide_overlap_miss_ns: %.1f (result %d)\n", corner, result);
  double far = CollideNs(1, 100, 100, 1, 500, 400, &result);
  std::printf("collide_far_ns: %.1f (result %d)\n", far, result);
  return 0;
}
