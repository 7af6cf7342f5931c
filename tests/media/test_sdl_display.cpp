// The SDL backend refuses to start on a machine without a display instead of
// running unseen on one of SDL's invisible fallback drivers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "media/headless.h"
#include "media/media.h"
#include "media/platform.h"

namespace {

// Unsets an environment variable for the life of the object.
struct UnsetEnv {
  std::string name;
  std::optional<std::string> old;
  explicit UnsetEnv(const char* n) : name(n) {
    if (const char* v = std::getenv(n)) old = v;
    unsetenv(n);
  }
  ~UnsetEnv() {
    if (old) setenv(name.c_str(), old->c_str(), 1);
  }
};

TEST(SdlDisplay, NoDisplayFailsThePictureCheckUnlessAnInvisibleDriverIsAskedFor) {
  {
    UnsetEnv driver("SDL_VIDEODRIVER"), x("DISPLAY"), wayland("WAYLAND_DISPLAY");
    UseSdlPlatform();
    EXPECT_EQ(InitPictureSupport(), 0);
  }
  {
    UnsetEnv driver("SDL_VIDEODRIVER");
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    UseSdlPlatform();
    EXPECT_NE(InitPictureSupport(), 0);
    unsetenv("SDL_VIDEODRIVER");
  }
  headless::Use();
}

}  // namespace
