// assetgen OUTDIR                  writes OUTDIR/game/01.bmp .. 18.bmp, 19.wav .. 23.wav
//                                  and OUTDIR/editor/01.bmp .. 06.bmp (pack order)
// assetgen --contact-sheet FILE    writes one BMP showing every picture with its slot
// assetgen --icons OUTDIR          writes the menu icons OUTDIR/SIZE/game.png and
//                                  editor.png for SIZE 48, 64, 128 and 256, and
//                                  the Windows icons OUTDIR/game.ico and editor.ico
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "assets.h"
#include "canvas.h"

namespace {

const char* const GAME_PICTURE_NAMES[18] = {
    "terrain 0 (empty)", "terrain 1 (wall)", "terrain 2 (landing pad)", "terrain 3 (block)",
    "terrain 4 (launcher left)", "terrain 5 (launcher right)", "terrain 6 (target platform)",
    "shot", "craft", "backdrop", "object none", "enemy", "prisoner", "status panel",
    "title screen", "end", "help", "logo"};
const char* const EDITOR_PICTURE_NAMES[6] = {"pointer", "terrain tiles", "object sprites",
                                             "panel", "palette", "title"};

bool WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return bool(out);
}

// Pack entry names: the entry's 1-based number, two digits.
std::string EntryName(int number, const char* extension) {
  char name[16];
  std::snprintf(name, sizeof name, "%02d.%s", number, extension);
  return name;
}

bool WriteAssets(const std::filesystem::path& outDir) {
  const auto gameDir = outDir / "game";
  const auto editorDir = outDir / "editor";
  std::filesystem::create_directories(gameDir);
  std::filesystem::create_directories(editorDir);
  int number = 1;
  for (const Canvas& picture : MakeGamePictures())
    if (!WriteFile(gameDir / EntryName(number++, "bmp"), EncodeBmp24(picture))) return false;
  for (const SoundClip& sound : MakeGameSounds())
    if (!WriteFile(gameDir / EntryName(number++, "wav"), EncodeWav16(sound))) return false;
  number = 1;
  for (const Canvas& picture : MakeEditorPictures())
    if (!WriteFile(editorDir / EntryName(number++, "bmp"), EncodeBmp24(picture))) return false;
  return true;
}

// The picture over a grey checkerboard (so that its magenta shows as
// transparency), resized by a box filter to `scale`.
Canvas Thumbnail(const Canvas& picture, double scale) {
  const int w = std::max(1, int(picture.width * scale + 0.5));
  const int h = std::max(1, int(picture.height * scale + 0.5));
  Canvas out = MakeCanvas(w, h, 0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      int x0 = int(x / scale), x1 = std::max(x0 + 1, int((x + 1) / scale));
      int y0 = int(y / scale), y1 = std::max(y0 + 1, int((y + 1) / scale));
      double r = 0, g = 0, b = 0;
      int count = 0;
      for (int sy = y0; sy < y1 && sy < picture.height; ++sy) {
        for (int sx = x0; sx < x1 && sx < picture.width; ++sx) {
          uint32_t c = GetPixel(picture, sx, sy);
          if (c == KEY_COLOUR) c = ((sx / 8 + sy / 8) % 2) ? Rgb(150, 150, 150) : Rgb(110, 110, 110);
          r += ColR(c);
          g += ColG(c);
          b += ColB(c);
          ++count;
        }
      }
      if (count) SetPixel(out, x, y, Rgb(int(r / count + 0.5), int(g / count + 0.5), int(b / count + 0.5)));
    }
  }
  return out;
}

struct SheetItem {
  std::string label;
  Canvas thumb;
};

// Shelf layout: items left to right, a new shelf when a row is full.
Canvas MakeContactSheet() {
  std::vector<SheetItem> items;
  auto add = [&](const std::string& label, const Canvas& picture) {
    // Large pictures at half size, tiny ones doubled, the rest as they are.
    double scale = std::min({1.0, 800.0 / picture.width, 300.0 / picture.height});
    if (scale < 1.0) scale = std::min(scale, 0.5);
    if (std::max(picture.width, picture.height) < 64) scale = 2.0;
    char text[96];
    std::snprintf(text, sizeof text, "%s  %dx%d", label.c_str(), picture.width, picture.height);
    items.push_back({text, Thumbnail(picture, scale)});
  };
  const std::vector<Canvas> game = MakeGamePictures();
  for (size_t i = 0; i < game.size(); ++i)
    add("vantor " + std::to_string(i) + ": " + (i < 18 ? GAME_PICTURE_NAMES[i] : "?"), game[i]);
  const std::vector<Canvas> editor = MakeEditorPictures();
  for (size_t i = 0; i < editor.size(); ++i)
    add("vantoredit " + std::to_string(i) + ": " + (i < 6 ? EDITOR_PICTURE_NAMES[i] : "?"), editor[i]);

  const int width = 1660, margin = 12, labelHeight = 18;
  struct Placed {
    int x, y;
  };
  std::vector<Placed> places;
  int x = margin, y = margin + 40, shelf = 0;
  for (const SheetItem& item : items) {
    int w = std::max(item.thumb.width, TextWidth(item.label, 12, FONT_SANS));
    if (x + w > width - margin) {
      x = margin;
      y += shelf + labelHeight + margin;
      shelf = 0;
    }
    places.push_back({x, y});
    x += w + margin * 2;
    shelf = std::max(shelf, item.thumb.height);
  }
  const int height = y + shelf + labelHeight + margin;
  Canvas sheet = MakeCanvas(width, height, Rgb(40, 42, 48));
  DrawText(sheet, margin, 10, "vantor.pak and vantoredit.pak: every picture by slot (checkerboard = transparent)",
           18, Rgb(230, 230, 230), FONT_SANS_BOLD);
  for (size_t i = 0; i < items.size(); ++i) {
    DrawText(sheet, places[i].x, places[i].y, items[i].label, 12, Rgb(220, 220, 160));
    Blit(sheet, items[i].thumb, places[i].x, places[i].y + labelHeight);
  }
  return sheet;
}

// The sizes that the desktop's hicolor icon theme is given, and those that
// Windows shows: in the title bar and task bar, the Start menu, Explorer.
constexpr int ICON_SIZES[] = {48, 64, 128, 256};
constexpr int ICO_SIZES[] = {16, 32, 48, 256};

bool WriteIco(const std::filesystem::path& path, Icon icon) {
  std::vector<RgbaPicture> pictures;
  for (int size : ICO_SIZES) pictures.push_back(MakeIcon(icon, size));
  return WriteFile(path, EncodeIco(pictures));
}

bool WriteIcons(const std::filesystem::path& outDir) {
  for (int size : ICON_SIZES) {
    const auto dir = outDir / std::to_string(size);
    std::filesystem::create_directories(dir);
    if (!WriteFile(dir / "game.png", EncodePng(MakeIcon(Icon::GAME, size)))) return false;
    if (!WriteFile(dir / "editor.png", EncodePng(MakeIcon(Icon::EDITOR, size)))) return false;
  }
  return WriteIco(outDir / "game.ico", Icon::GAME) && WriteIco(outDir / "editor.ico", Icon::EDITOR);
}

int Usage() {
  std::fprintf(stderr, "usage: assetgen OUTDIR\n       assetgen --contact-sheet FILE.bmp\n"
                       "       assetgen --icons OUTDIR\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc == 2 && argv[1][0] != '-') {
      if (WriteAssets(argv[1])) return 0;
      std::fprintf(stderr, "assetgen: cannot write into %s\n", argv[1]);
      return 1;
    }
    if (argc == 3 && std::string(argv[1]) == "--contact-sheet") {
      if (WriteFile(argv[2], EncodeBmp24(MakeContactSheet()))) return 0;
      std::fprintf(stderr, "assetgen: cannot write %s\n", argv[2]);
      return 1;
    }
    if (argc == 3 && std::string(argv[1]) == "--icons") {
      if (WriteIcons(argv[2])) return 0;
      std::fprintf(stderr, "assetgen: cannot write into %s\n", argv[2]);
      return 1;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "assetgen: %s\n", e.what());
    return 1;
  }
  return Usage();
}
