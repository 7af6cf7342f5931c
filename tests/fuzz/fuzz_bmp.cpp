// Feeds arbitrary bytes to the BMP decoder; whatever is accepted is drawn
// keyed at the screen's corners and edges and tested for collision with itself.
#include <cstddef>
#include <cstdint>

#include "media/headless.h"
#include "media/media.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = [] {
    headless::Use();
    return OpenDisplay(800, 600, 32, "Fuzz") != 0;
  }();
  if (!ready || !MakePicture(1, data, size)) return 0;
  SetPictureKey(1, PackColor(255, 0, 255));
  const int places[][2] = {{0, 0}, {-3, -2}, {797, 598}, {400, -1}, {-1, 300}};
  for (const auto& p : places) DrawPictureKeyed(1, p[0], p[1]);
  PicturesCollide(1, 0, 0, 1, 1, 1);
  SetPictureSection(1, 1, 1, 3, 2);
  DrawPicture(1, 799, 599);
  PicturesCollide(1, 0, 0, 1, 2, 0);
  return 0;
}
