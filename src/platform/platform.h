// The platform services the game is written against: display and drawing
// state, images, sounds, keyboard and joystick, clock, random numbers and
// files. Game code calls only these; it never sees SDL.
//
// Drawing, image storage, mixing, randomness and files are shared code; only
// the Backend (window + audio device + events, or the headless stand-in)
// differs between the real game and tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/frame_moments.h"
#include "platform/random.h"

namespace sb {

class Renderer;
class ImageStore;
class Mixer;
class InputState;
class FileTable;

inline constexpr int kScreenW = 640;
inline constexpr int kScreenH = 480;

// One drawing call as the game made it: what a draw log holds, so a frame
// can be replayed (benchmarks) on this renderer or another.
struct DrawCall {
  enum Kind { kCls, kColor, kAlpha, kScale, kViewport, kImage, kLine, kRect };
  Kind kind = kCls;
  int n[4] = {};     // colour r, g, b; viewport x, y, w, h; image handle, frame
  double v[4] = {};  // alpha; scale sx, sy; image x, y; line or rectangle
};

// Watches the frames of one game for replays (recording or playing one back).
class FrameHooks {
 public:
  virtual ~FrameHooks() = default;
  // Frame `shown` (counted from 1 since the hooks were set) was just presented.
  virtual void AfterFlip(int64_t shown) = 0;
  // The game polled input, then paused without presenting: it waits for a key.
  virtual void OnWait(int64_t shown) = 0;
};

class Platform {
 public:
  explicit Platform(std::unique_ptr<Backend> backend);
  ~Platform();
  Platform(const Platform&) = delete;
  Platform& operator=(const Platform&) = delete;

  // --- display and drawing state ---
  // depth 0: a window titled "Vornic Application"; 32: full screen. Resets the
  // drawing state; images stay drawable.
  void OpenDisplay(int width, int height, int depth, int hertz, int flags);
  void CloseDisplay();
  bool DisplayOpen() const;
  bool FullScreen() const;  // the mode the display is actually in
  std::string WhyNoDisplay() const { return backend_->WhyNoWindow(); }
  void Cls();
  // 0: at once; 1: in step with the refresh; -1: in step only in full screen.
  void Flip(int sync);
  void SetColor(int r, int g, int b);
  void GetColor(int& r, int& g, int& b) const;
  void SetAlpha(double a);
  double GetAlpha() const;
  void SetScale(float sx, float sy);
  void GetScale(float& sx, float& sy) const;
  void SetViewport(int x, int y, int w, int h);
  void DrawImage(int image, float x, float y, int frame);
  void DrawLine(float x1, float y1, float x2, float y2);
  void DrawRect(float x, float y, float w, float h);

  // --- images (handles; 0 = none) ---
  int LoadImage(const std::string& path, int flags);
  int LoadImageStrip(const std::string& path, int cellw, int cellh, int first, int count,
                     int flags);
  int CreateImage(int width, int height, int frames, int flags);
  void CaptureImage(int image, int x, int y, int frame);

  // --- sounds (handles; 0 = none, plays nothing) ---
  int LoadSound(const std::string& path, int flags);
  void PlaySound(int sound);

  // --- input; key codes are the virtual-key codes of the key table ---
  int KeyDown(int key);
  int KeyPresses(int key);
  void ClearKeys();
  int CloseRequested();
  int JoyButtonDown(int button, int port);  // buttons from 1
  // Presses since the last call (buttons 5 Back and 6 Start included).
  int JoyButtonPresses(int button, int port);
  // False while the window has lost the keyboard focus.
  bool HasFocus();
  int JoyXDir(int port);
  int JoyYDir(int port);

  // --- time and randomness ---
  uint32_t Millis();
  void Delay(int ms);
  void SeedRandom(int32_t seed) { rng_.Seed(seed); }
  double RandomReal(double lo, double hi) { return rng_.Real(lo, hi); }
  Random& Rng() { return rng_; }

  // --- files (stream handles; 0 = none) ---
  int OpenFile(const std::string& path, bool readable, bool writeable);
  int WriteFile(const std::string& path);
  std::string ReadLine(int stream);
  bool Eof(int stream);
  void WriteLine(int stream, const std::string& text);
  // Flushes (to the disk, for written files) and closes; false when the data
  // could not be written in full.
  bool CloseFile(int stream);
  // Small file-system helpers for safe saving.
  bool RenameFile(const std::string& from, const std::string& to);  // atomic replace
  bool RemoveFile(const std::string& path);
  bool MakeDirectory(const std::string& path);  // true if it exists afterwards
  bool FileExists(const std::string& path);
  bool FileWritable(const std::string& path);  // exists and may be opened for writing

  // --- access for the shell, tests, the simulator and benchmarks ---
  Backend& GetBackend() { return *backend_; }
  Renderer& GetRenderer() { return *renderer_; }
  ImageStore& Images() { return *images_; }
  Mixer& GetMixer() { return *mixer_; }
  InputState& Input() { return *input_; }
  // The 640x480 back buffer, 0x00RRGGBB per pixel, row-major.
  const uint32_t* Framebuffer() const;
  // Switches drawing off (simulator speed runs): draw calls return at once,
  // everything else (state, randomness, input, sound) is unchanged.
  void SetDrawingEnabled(bool on);
  // While set, every drawing call and drawing-state change is also appended
  // to *log (nullptr stops).
  void SetDrawLog(std::vector<DrawCall>* log) { log_ = log; }
  // Frame hooks (nullptr: none); setting them starts the frame count at 0.
  void SetFrameHooks(FrameHooks* h);
  // Every pause lasts 1/d as long (a replay watched fast); 1 is normal.
  void SetDelayDivisor(int d) { delay_div_ = d < 1 ? 1 : d; }

 private:
  void Pump();
  void Log(DrawCall::Kind k, std::initializer_list<int> n, std::initializer_list<double> v);

  std::unique_ptr<Backend> backend_;
  std::unique_ptr<ImageStore> images_;
  std::unique_ptr<Renderer> renderer_;
  std::unique_ptr<Mixer> mixer_;
  std::unique_ptr<InputState> input_;
  std::unique_ptr<FileTable> files_;
  Random rng_;
  bool open_ = false;
  bool fullscreen_ = false;
  std::vector<DrawCall>* log_ = nullptr;
  FrameHooks* hooks_ = nullptr;
  int64_t hook_frames_ = 0;
  FrameMoments moments_;
  int delay_div_ = 1;
};

}  // namespace sb
