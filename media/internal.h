// State shared between the media layer's own modules; not for the programs.
#pragma once

#include <cstdint>
#include <vector>

struct ScreenState {
  bool open = false;
  bool screenActive = false;
  bool displayLost = false;  // pictures were backed up; restore on the next flip in front
  int screenWidth = 0;
  int screenHeight = 0;
  int screenDepth = 0;
  std::vector<uint32_t> visible;  // what was presented last
  std::vector<uint32_t> hidden;   // the drawing target
  uint32_t defaultKey = 0;        // key given to pictures when they are made
};

ScreenState& Screen();

// The drawing target, or null when no screen is open.
inline uint32_t* TargetPixels() {
  ScreenState& s = Screen();
  return s.open ? s.hidden.data() : nullptr;
}

// Pictures keep their pixels in memory, so losing the display loses nothing;
// these exist so the screen module can follow the lost/restored protocol.
void BackupPictures();
void RestorePictures();
void FreeAllPictures();

// Each module forgets everything (used when a test switches backends).
void ResetScreenState();
void ResetPictureState();
void ResetDrawingState();
void ResetInputState();
void ResetSoundState();
void ResetFileState();
void ResetRandomState();
void ResetStartupState();
void ResetAllMediaState();
