#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/headless/input_script.h"
#include "platform/platform.h"

namespace avg {

// Virtual time: only sleeps advance it, so every frame pass takes exactly one frame length
// and runs are repeatable.
class HeadlessClock : public Clock {
 public:
  uint32_t nowMs() override { return static_cast<uint32_t>(elapsed_); }
  void sleepMs(uint32_t ms) override {
    elapsed_ += ms;
    if (onAdvance_) onAdvance_(elapsed_);
  }
  // Called with the milliseconds elapsed since the start whenever time advances.
  void setOnAdvance(std::function<void(uint64_t)> onAdvance) { onAdvance_ = std::move(onAdvance); }

 private:
  uint64_t elapsed_ = 0;
  std::function<void(uint64_t)> onAdvance_;
};

// Prints each box to a stream as "[messagebox] CAPTION | TEXT -> ANSWER" and answers with the
// queued answer, else with the box's default.
class HeadlessMessageBoxes : public MessageBoxes {
 public:
  explicit HeadlessMessageBoxes(std::ostream& out) : out_(out) {}
  MessageAnswer show(const MessageBoxRequest& request) override;
  void queueAnswer(MessageAnswer answer) { answers_.push_back(answer); }

 private:
  std::ostream& out_;
  std::deque<MessageAnswer> answers_;
};

// A window without a screen: delivers the scripted events of each pass and keeps what the
// player asked of its cursor and clipboard.
class HeadlessWindow : public Window {
 public:
  HeadlessWindow(HeadlessMessageBoxes& boxes, std::vector<ScriptedEvent> events);
  void setCaption(const std::string& utf8) override { caption_ = utf8; }
  void setCursor(const CursorImage& cursor) override { cursor_ = cursor; }
  void showCursor() override { ++cursorShows_; }
  void setClipboardText(const std::string& utf8) override { clipboard_ = utf8; }
  void beginPass() override { ++pass_; }
  void pumpEvents(std::vector<PlatformEvent>& out, bool waitForOne) override;
  const std::string& caption() const { return caption_; }
  // The last cursor set; nullopt while the standard arrow shows.
  const std::optional<CursorImage>& cursor() const { return cursor_; }
  int32_t cursorShows() const { return cursorShows_; }
  // The text last put on the clipboard.
  const std::string& clipboardText() const { return clipboard_; }

 private:
  HeadlessMessageBoxes& boxes_;
  std::vector<ScriptedEvent> events_;
  size_t nextEvent_ = 0;
  uint64_t pass_ = 0;
  std::string caption_;
  std::optional<CursorImage> cursor_;
  int32_t cursorShows_ = 0;
  std::string clipboard_;
};

// The system mixer without a sound card: channels that start at 40000 and keep what is
// written to them.
class FakeSystemMixer : public SystemMixer {
 public:
  static constexpr StereoVolume kStart = {40000, 40000};
  explicit FakeSystemMixer(StereoVolume volume = kStart) : volume_(volume) {}
  std::optional<StereoVolume> read() override { return volume_; }
  void write(StereoVolume volume) override { volume_ = volume; }

 private:
  StereoVolume volume_;
};

// What the headless platform takes from its caller rather than choosing itself: the player
// passes the real codecs and rasterizer, tests pass fakes.
struct HeadlessServices {
  std::unique_ptr<ImageCodec> images;
  std::unique_ptr<TextRasterizer> text;
  std::shared_ptr<AudioCodec> audio;
  std::unique_ptr<FilmDecoder> films;
};

// The headless platform on `services` with the given scripted input; boxes are printed to
// `log`. The sound output follows the virtual clock and writes what it renders to `audioOut`
// when given, and hands it to `soundSink` (16-bit stereo samples at 48000 Hz) when set.
Platform makeHeadlessPlatform(HeadlessServices services, std::vector<ScriptedEvent> events,
                              std::ostream& log, const std::string& audioOut = "",
                              std::function<void(const int16_t*, size_t)> soundSink = {});

}  // namespace avg
