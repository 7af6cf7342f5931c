// The backend switch and the reset of every media module.
#include <memory>

#include "media/internal.h"
#include "media/platform.h"

namespace {
std::unique_ptr<Platform> current;
}

Platform& CurrentPlatform() {
  if (!current) current = MakeSdlPlatform();
  return *current;
}

void InstallPlatform(std::unique_ptr<Platform> platform) {
  current.reset();  // the old backend closes what it still holds
  current = std::move(platform);
}

void UseSdlPlatform() {
  InstallPlatform(MakeSdlPlatform());
  ResetAllMediaState();
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
