// Numbered pictures: made from BMP images, drawn opaque or keyed into the
// screen's back buffer, tested for pixel collisions, and blend pictures that
// draw a picture stretched and translucent.
//
// Pictures are held as 0x00BBGGRR pixels, the screen's own format, so drawing
// is a rectangle copy. Keyed drawing and collision tests work on per-row runs
// of non-key pixels, computed once per picture and key.
#include <algorithm>
#include <cstring>
#include <vector>

#include "media/bmp.h"
#include "media/internal.h"
#include "media/media.h"

namespace {

// Slot numbers beyond this are refused so that a stray number cannot make
// the table absurdly large.
constexpr int MAX_SLOTS = 1 << 16;
constexpr uint32_t RGB_MASK = 0xFFFFFF;

struct Run {  // a stretch of non-key pixels within one row
  uint16_t start;
  uint16_t length;
};

struct Picture {
  bool exists = false;
  std::vector<uint32_t> pixels;  // fullWidth x fullHeight, top row first
  int16_t fullWidth = 0, fullHeight = 0;
  int16_t sectionX = 0, sectionY = 0;
  int16_t width = 0, height = 0;  // the drawn section
  int16_t depth = 0;
  int16_t mode = 0;
  uint32_t key = 0;
  std::vector<uint32_t> backup;  // the pixels while the display is lost
  // Runs of row r are runs[rowRuns[r] .. rowRuns[r + 1]); valid for `key`.
  bool runsValid = false;
  std::vector<Run> runs;
  std::vector<uint32_t> rowRuns;
  // For each row, the first run that ends after column firstRunColumn: a
  // sheet is drawn frame after frame from the same column, so the search for
  // each row's first run is made once per frame of the sheet, not per draw.
  int firstRunColumn = -1;
  std::vector<uint32_t> firstRun;
};

struct BlendPicture {
  bool exists = false;
  int source = 0;  // picture number; looked up at each draw
  int blendWidth = 0, blendHeight = 0;
};

std::vector<Picture> pictures;
std::vector<BlendPicture> blendPictures;
bool blendDrawing = false;
bool drawingSuppressed = false;  // no pixels written (frames played ahead by a tool)

Picture* FindPicture(int n) {
  if (n < 0 || n >= int(pictures.size()) || !pictures[n].exists) return nullptr;
  return &pictures[n];
}

BlendPicture* FindBlendPicture(int b) {
  if (b < 0 || b >= int(blendPictures.size()) || !blendPictures[b].exists) return nullptr;
  return &blendPictures[b];
}

void BuildRuns(Picture& p) {
  p.runs.clear();
  p.rowRuns.assign(size_t(p.fullHeight) + 1, 0);
  const int w = p.fullWidth;
  for (int y = 0; y < p.fullHeight; ++y) {
    p.rowRuns[y] = uint32_t(p.runs.size());
    const uint32_t* row = &p.pixels[size_t(y) * w];
    int x = 0;
    while (x < w) {
      while (x < w && row[x] == p.key) ++x;
      int start = x;
      while (x < w && row[x] != p.key) ++x;
      if (x > start) p.runs.push_back({uint16_t(start), uint16_t(x - start)});
    }
  }
  p.rowRuns[p.fullHeight] = uint32_t(p.runs.size());
  p.runsValid = true;
  p.firstRunColumn = -1;
}

// The runs of row `y` that end after column `from`, up to `*last`.
const Run* RowRunsFrom(Picture& p, int y, int from, const Run** last) {
  if (!p.runsValid) BuildRuns(p);
  const Run* first = p.runs.data() + p.rowRuns[y];
  *last = p.runs.data() + p.rowRuns[y + 1];
  return std::upper_bound(first, *last, from,
                          [](int column, const Run& r) { return column < r.start + r.length; });
}

// A copy of w x h pixels from the picture (section applied) to the target.
struct Blit {
  int srcX, srcY, dstX, dstY, w, h;
};

bool ClipToTarget(const Picture& p, int x, int y, Blit& b) {
  const ScreenState& s = Screen();
  if (!TargetPixels() || !s.screenActive) return false;
  const int W = s.screenWidth, H = s.screenHeight;
  int w = p.width, h = p.height;
  if (w <= 0 || h <= 0 || x >= W || y >= H || x <= -w || y <= -h) return false;
  if (x + w > W) w = W - x;
  if (y + h > H) h = H - y;
  int sx = 0, sy = 0;
  if (x < 0) {
    sx = -x;
    w += x;
    x = 0;
  }
  if (y < 0) {
    sy = -y;
    h += y;
    y = 0;
  }
  b = {p.sectionX + sx, p.sectionY + sy, x, y, w, h};
  return true;
}

int MakeFromBmp(int n, const void* memory, size_t size, int mode) {
  if (n < 0 || n >= MAX_SLOTS) return 0;
  if (n < int(pictures.size())) pictures[n] = Picture{};  // a failed make leaves no picture n
  DecodedImage image;
  if (!DecodeBmp(static_cast<const uint8_t*>(memory), size, image)) return 0;
  if (n >= int(pictures.size())) pictures.resize(size_t(n) + 1);
  Picture& p = pictures[n];
  p.exists = true;
  p.pixels = std::move(image.pixels);
  p.fullWidth = p.width = int16_t(image.width);
  p.fullHeight = p.height = int16_t(image.height);
  p.depth = 32;
  p.mode = int16_t(mode);
  p.key = Screen().defaultKey & RGB_MASK;
  return 1;
}

uint32_t Mix(uint32_t src, uint32_t dst, uint32_t opacity) {
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    uint32_t s = src >> shift & 255, d = dst >> shift & 255;
    out |= (opacity * s + (255 - opacity) * d) / 255 << shift;
  }
  return out;
}

}  // namespace

int MakePicture(int n, const void* memory, size_t size) { return MakeFromBmp(n, memory, size, 0); }

int MakePictureAs(int n, const void* memory, size_t size, int mode) {
  return MakeFromBmp(n, memory, size, mode);
}

void SetPictureKey(int n, uint32_t color) {
  if (n == -1) {
    Screen().defaultKey = color & RGB_MASK;
    return;
  }
  Picture* p = FindPicture(n);
  if (!p || p->key == (color & RGB_MASK)) return;
  p->key = color & RGB_MASK;
  p->runsValid = false;
}

// A section that starts outside the picture or has a negative size is taken
// as far as it lies inside; an empty section draws and collides with nothing.
void SetPictureSection(int n, int x, int y, int w, int h) {
  Picture* p = FindPicture(n);
  if (!p) return;
  if (x == -1 && y == -1 && w == -1 && h == -1) {
    p->sectionX = p->sectionY = 0;
    p->width = p->fullWidth;
    p->height = p->fullHeight;
    return;
  }
  x = std::clamp(x, 0, int(p->fullWidth));
  y = std::clamp(y, 0, int(p->fullHeight));
  p->sectionX = int16_t(x);
  p->sectionY = int16_t(y);
  p->width = int16_t(std::clamp(w, 0, p->fullWidth - x));
  p->height = int16_t(std::clamp(h, 0, p->fullHeight - y));
}

int PictureWidth(int n) {
  Picture* p = FindPicture(n);
  return p ? p->width : 0;
}

int PictureHeight(int n) {
  Picture* p = FindPicture(n);
  return p ? p->height : 0;
}

void SuppressDrawing(bool suppressed) { drawingSuppressed = suppressed; }

void DrawPicture(int n, int x, int y) {
  if (drawingSuppressed) return;
  Picture* p = FindPicture(n);
  Blit b;
  if (!p || !ClipToTarget(*p, x, y, b)) return;
  uint32_t* target = TargetPixels();
  const int W = Screen().screenWidth;
  for (int r = 0; r < b.h; ++r) {
    const uint32_t* src = &p->pixels[size_t(b.srcY + r) * p->fullWidth + b.srcX];
    std::memcpy(target + size_t(b.dstY + r) * W + b.dstX, src, size_t(b.w) * sizeof(uint32_t));
  }
}

// The first runs of every row from column `column` on.
const std::vector<uint32_t>& FirstRunsFrom(Picture& p, int column) {
  if (!p.runsValid) BuildRuns(p);
  if (p.firstRunColumn != column) {
    p.firstRun.resize(size_t(p.fullHeight));
    const Run* last;
    for (int y = 0; y < p.fullHeight; ++y) p.firstRun[y] = uint32_t(RowRunsFrom(p, y, column, &last) - p.runs.data());
    p.firstRunColumn = column;
  }
  return p.firstRun;
}

void DrawPictureKeyed(int n, int x, int y) {
  if (drawingSuppressed) return;
  Picture* p = FindPicture(n);
  Blit b;
  if (!p || !ClipToTarget(*p, x, y, b)) return;
  uint32_t* target = TargetPixels();
  const int W = Screen().screenWidth;
  const int srcEnd = b.srcX + b.w;
  const std::vector<uint32_t>& firstRun = FirstRunsFrom(*p, b.srcX);
  const Run* runs = p->runs.data();
  for (int r = 0; r < b.h; ++r) {
    const int row = b.srcY + r;
    const uint32_t* src = &p->pixels[size_t(row) * p->fullWidth];
    uint32_t* dst = target + size_t(b.dstY + r) * W + b.dstX;
    const Run* last = runs + p->rowRuns[row + 1];
    for (const Run* run = runs + firstRun[row]; run != last && run->start < srcEnd; ++run) {
      int from = std::max<int>(run->start, b.srcX);
      int to = std::min<int>(run->start + run->length, srcEnd);
      std::memcpy(dst + (from - b.srcX), src + from, size_t(to - from) * sizeof(uint32_t));
    }
  }
}

namespace {

// Whether the solid runs of two rows, each seen through a window of `w`
// columns starting at fromA / fromB, share a column.
bool RowsOverlap(Picture& a, int rowA, int fromA, Picture& b, int rowB, int fromB, int w) {
  const Run *lastA, *lastB;
  const Run* ra = RowRunsFrom(a, rowA, fromA, &lastA);
  const Run* rb = RowRunsFrom(b, rowB, fromB, &lastB);
  while (ra != lastA && rb != lastB) {
    int a0 = ra->start - fromA, a1 = a0 + ra->length;
    int b0 = rb->start - fromB, b1 = b0 + rb->length;
    if (a0 >= w || b0 >= w) return false;
    if (std::max(a0, b0) < std::min(a1, b1)) return true;
    if (a1 < b1)
      ++ra;
    else
      ++rb;
  }
  return false;
}

}  // namespace

int PicturesCollide(int p, int px, int py, int q, int qx, int qy) {
  Picture* a = FindPicture(p);
  Picture* b = FindPicture(q);
  if (!a || !b) return 0;
  const int64_t pw = a->width, ph = a->height, qw = b->width, qh = b->height;
  if (int64_t(qx) >= px + pw || qx + qw <= int64_t(px) || qy + qh <= int64_t(py) || int64_t(qy) >= py + ph)
    return 0;
  int64_t ax = 0, bx = 0, ay = 0, by = 0, w, h;
  if (px < qx) {
    ax = int64_t(qx) - px;
    w = std::min(pw - ax, qw);
  } else {
    bx = int64_t(px) - qx;
    w = std::min(qw - bx, pw);
  }
  if (py < qy) {
    ay = int64_t(qy) - py;
    h = std::min(ph - ay, qh);
  } else {
    by = int64_t(py) - qy;
    h = std::min(qh - by, ph);
  }
  for (int r = 0; r < h; ++r) {
    if (RowsOverlap(*a, int(a->sectionY + ay + r), int(a->sectionX + ax), *b, int(b->sectionY + by + r),
                    int(b->sectionX + bx), int(w)))
      return 1;
  }
  return 0;
}

// ---- Blend pictures ---------------------------------------------------------

int MakeBlendPicture(int b, int n) {
  if (b < 0 || b >= MAX_SLOTS) return 0;
  // Without a usable source nothing happens: an older blend picture b stays.
  Picture* source = FindPicture(n);
  if (!source || source->mode != PICTURE_MODE_BLEND_SOURCE) return 0;
  if (b >= int(blendPictures.size())) blendPictures.resize(size_t(b) + 1);
  blendPictures[b] = {true, n, source->fullWidth, source->fullHeight};
  return 1;
}

void SetBlendPictureSize(int b, int width, int height) {
  BlendPicture* blend = FindBlendPicture(b);
  if (!blend) return;
  blend->blendWidth = width;
  blend->blendHeight = height;
}

int BeginBlendDrawing() {
  if (!TargetPixels() || !Screen().screenActive) return 0;
  blendDrawing = true;
  return 1;
}

// Outside BeginBlendDrawing / EndBlendDrawing nothing is drawn, as nothing is
// when the source picture has been freed or replaced by one that cannot be a
// blend source. Opacity is taken within 0..255.
void DrawBlendPicture(int b, int x, int y, int opacity) {
  BlendPicture* blend = FindBlendPicture(b);
  if (!blend || !blendDrawing || !TargetPixels() || !Screen().screenActive) return;
  Picture* src = FindPicture(blend->source);
  if (!src || src->mode != PICTURE_MODE_BLEND_SOURCE) return;
  const uint32_t alpha = uint32_t(std::clamp(opacity, 0, 255));
  const int64_t bw = blend->blendWidth, bh = blend->blendHeight;
  if (alpha == 0 || bw <= 0 || bh <= 0) return;
  const int W = Screen().screenWidth, H = Screen().screenHeight;
  // Visible target columns x + i and rows y + j.
  const int64_t i0 = std::max<int64_t>(0, -int64_t(x)), i1 = std::min<int64_t>(bw, int64_t(W) - x);
  const int64_t j0 = std::max<int64_t>(0, -int64_t(y)), j1 = std::min<int64_t>(bh, int64_t(H) - y);
  if (i0 >= i1 || j0 >= j1) return;
  // Each target pixel takes the source pixel under its centre.
  std::vector<int> columns(size_t(i1 - i0));
  for (int64_t i = i0; i < i1; ++i) columns[size_t(i - i0)] = int((2 * i + 1) * src->fullWidth / (2 * bw));
  uint32_t* target = TargetPixels();
  for (int64_t j = j0; j < j1; ++j) {
    const uint32_t* srcRow = &src->pixels[size_t((2 * j + 1) * src->fullHeight / (2 * bh)) * src->fullWidth];
    uint32_t* dst = target + size_t(y + j) * W + size_t(x + i0);
    for (size_t k = 0; k < columns.size(); ++k) {
      uint32_t s = srcRow[columns[k]];
      if (s != src->key) dst[k] = alpha == 255 ? s : Mix(s, dst[k], alpha);
    }
  }
}

void EndBlendDrawing() { blendDrawing = false; }

void FreeBlendPictures() {
  blendPictures.clear();
  blendDrawing = false;
}

// ---- Display loss and shut-down ---------------------------------------------

void BackupPictures() {
  for (Picture& p : pictures)
    if (p.exists && p.backup.empty()) p.backup = p.pixels;
}

void RestorePictures() {
  for (Picture& p : pictures) {
    if (!p.exists || p.backup.empty()) continue;
    p.pixels.swap(p.backup);
    p.backup.clear();
    p.backup.shrink_to_fit();
    p.runsValid = false;
  }
}

void FreeAllPictures() { pictures.clear(); }

void ResetPictureState() {
  pictures.clear();
  blendPictures.clear();
  blendDrawing = false;
  drawingSuppressed = false;
}
