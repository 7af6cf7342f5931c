// The backend switch and the reset of every media module. The default
// backend is whichever one the build links: its file defines
// MakeDefaultPlatform.
#include <memory>

#include "media/internal.h"
#include "media/platform.h"

namespace {
std::unique_ptr<Platform> current;
}

Platform& CurrentPlatform() {
  if (!current) current = MakeDefaultPlatform();
  return *current;
}

void InstallPlatform(std::unique_ptr<Platform> platform) {
  current.reset();  // the old backend closes what it still holds
  current = std::move(platform);
}

void ResetAllMediaState() {
  ResetScreenState();
  ResetPictureState();
  ResetDrawingState();
  ResetInputState();
  ResetSoundState();
  ResetFileState();
  ResetRandomState();
  ResetStartupState();
}
