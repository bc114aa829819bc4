#pragma once

#include <memory>

namespace gfx {

// Text is drawn through Qt, which needs an application object. A program that draws without a
// window makes one of these first and keeps it while it draws: it starts Qt on its offscreen
// platform, whatever display the environment names, so it runs where no display exists, and
// keeps Qt's notes about that session (warnings) off the standard error.
class OffscreenText {
  public:
    explicit OffscreenText(const char* program_name);
    ~OffscreenText();
    OffscreenText(const OffscreenText&) = delete;
    OffscreenText& operator=(const OffscreenText&) = delete;

  private:
    struct Application;
    std::unique_ptr<Application> application_;
};

}  // namespace gfx
