#include "platform/platform.h"

#include <algorithm>

#include "platform/file_table.h"
#include "platform/image_store.h"
#include "platform/input.h"
#include "platform/mixer.h"
#include "platform/renderer.h"

namespace sb {

Platform::Platform(std::unique_ptr<Backend> backend)
    : backend_(std::move(backend)),
      images_(std::make_unique<ImageStore>()),
      renderer_(std::make_unique<Renderer>()),
      mixer_(std::make_unique<Mixer>()),
      input_(std::make_unique<InputState>()),
      files_(std::make_unique<FileTable>()) {
  backend_->StartAudio(*mixer_);
}

Platform::~Platform() {
  // The back end (and its audio callback) goes first: it reads the mixer.
  backend_.reset();
}

// --- display and drawing state ---

void Platform::OpenDisplay(int width, int height, int depth, int hertz, int flags) {
  (void)width, (void)height, (void)hertz, (void)flags;  // always 640x480, default rate
  if (open_) CloseDisplay();
  renderer_->Reset();
  open_ = backend_->OpenWindow(depth == 32);
  fullscreen_ = open_ && backend_->IsFullScreen();
  if (!open_) return;
  // A new display starts cleared, shown twice so both buffers are clean.
  const bool was = renderer_->Enabled();
  renderer_->SetEnabled(true);
  renderer_->Cls();
  renderer_->SetEnabled(was);
  backend_->Present(renderer_->Pixels(), 0);
  backend_->Present(renderer_->Pixels(), 0);
}

void Platform::CloseDisplay() {
  if (open_) backend_->CloseWindow();
  open_ = false;
  fullscreen_ = false;
}

bool Platform::DisplayOpen() const {
  return open_;
}
bool Platform::FullScreen() const {
  return open_ && backend_->IsFullScreen();
}

void Platform::Cls() {
  if (log_) Log(DrawCall::kCls, {}, {});
  renderer_->Cls();
}

void Platform::Flip(int sync) {
  Pump();
  if (!open_) return;
  backend_->Present(renderer_->Pixels(), sync);
  if (hooks_) {
    moments_.Framed();
    hooks_->AfterFlip(++hook_frames_);
  }
}

void Platform::SetFrameHooks(FrameHooks* h) {
  hooks_ = h;
  hook_frames_ = 0;
  moments_ = FrameMoments{};
}

void Platform::SetColor(int r, int g, int b) {
  if (log_) Log(DrawCall::kColor, {r, g, b}, {});
  renderer_->SetColor(r, g, b);
}
void Platform::GetColor(int& r, int& g, int& b) const {
  renderer_->GetColor(r, g, b);
}
void Platform::SetAlpha(double a) {
  if (log_) Log(DrawCall::kAlpha, {}, {a});
  renderer_->SetAlpha(a);
}
double Platform::GetAlpha() const {
  return renderer_->GetAlpha();
}
void Platform::SetScale(float sx, float sy) {
  if (log_) Log(DrawCall::kScale, {}, {sx, sy});
  renderer_->SetScale(sx, sy);
}
void Platform::GetScale(float& sx, float& sy) const {
  renderer_->GetScale(sx, sy);
}
void Platform::SetViewport(int x, int y, int w, int h) {
  if (log_) Log(DrawCall::kViewport, {x, y, w, h}, {});
  renderer_->SetViewport(x, y, w, h);
}

void Platform::DrawImage(int image, float x, float y, int frame) {
  if (log_) Log(DrawCall::kImage, {image, frame}, {x, y});
  if (!renderer_->Enabled()) return;
  if (Image* img = images_->Get(image)) renderer_->DrawImage(*img, x, y, frame);
}

void Platform::DrawLine(float x1, float y1, float x2, float y2) {
  if (log_) Log(DrawCall::kLine, {}, {x1, y1, x2, y2});
  renderer_->DrawLine(x1, y1, x2, y2);
}

void Platform::DrawRect(float x, float y, float w, float h) {
  if (log_) Log(DrawCall::kRect, {}, {x, y, w, h});
  renderer_->DrawRect(x, y, w, h);
}

// --- images ---

int Platform::LoadImage(const std::string& path, int flags) {
  return images_->LoadImage(path, flags);
}

int Platform::LoadImageStrip(const std::string& path, int cellw, int cellh, int first, int count,
                             int flags) {
  return images_->LoadImageStrip(path, cellw, cellh, first, count, flags);
}

int Platform::CreateImage(int width, int height, int frames, int flags) {
  return images_->CreateImage(width, height, frames, flags);
}

void Platform::CaptureImage(int image, int x, int y, int frame) {
  if (!renderer_->Enabled()) return;
  if (Image* img = images_->Get(image)) renderer_->Capture(*img, x, y, frame);
}

// --- sounds ---

int Platform::LoadSound(const std::string& path, int flags) {
  (void)flags;  // one-shot only
  return mixer_->LoadSound(path);
}

void Platform::PlaySound(int sound) {
  if (!mixer_->GetSound(sound)) return;
  backend_->LockAudio();
  mixer_->Play(sound);
  backend_->UnlockAudio();
}

// --- input ---

void Platform::Pump() {
  backend_->PumpEvents(*input_);
  moments_.Pumped();
}

int Platform::KeyDown(int key) {
  Pump();
  return input_->KeyDown(key);
}

int Platform::KeyPresses(int key) {
  Pump();
  return input_->KeyPresses(key);
}

void Platform::ClearKeys() {
  Pump();
  input_->ClearKeys();
}

int Platform::CloseRequested() {
  Pump();
  return input_->TakeCloseRequest();
}

int Platform::JoyButtonDown(int button, int port) {
  Pump();
  return port == 0 ? input_->JoyButtonDown(button) : 0;
}

int Platform::JoyButtonPresses(int button, int port) {
  Pump();
  return port == 0 ? input_->JoyButtonPresses(button) : 0;
}

bool Platform::HasFocus() {
  Pump();
  return input_->HasFocus();
}

int Platform::JoyXDir(int port) {
  Pump();
  return port == 0 ? input_->JoyX() : 0;
}

int Platform::JoyYDir(int port) {
  Pump();
  return port == 0 ? input_->JoyY() : 0;
}

// --- time ---

uint32_t Platform::Millis() {
  return backend_->Millis();
}

void Platform::Delay(int ms) {
  if (ms >= 0) backend_->Delay(ms / delay_div_);
  if (!hooks_) return;
  if (moments_.Paused()) hooks_->OnWait(hook_frames_);
}

// --- files ---

int Platform::OpenFile(const std::string& path, bool readable, bool writeable) {
  return files_->OpenFile(path, readable, writeable);
}
int Platform::WriteFile(const std::string& path) {
  return files_->WriteFile(path);
}
std::string Platform::ReadLine(int stream) {
  return files_->ReadLine(stream);
}
bool Platform::Eof(int stream) {
  return files_->Eof(stream);
}
void Platform::WriteLine(int stream, const std::string& text) {
  files_->WriteLine(stream, text);
}
bool Platform::CloseFile(int stream) {
  return files_->CloseFile(stream);
}
bool Platform::RenameFile(const std::string& from, const std::string& to) {
  return FileTable::RenameFile(from, to);
}
bool Platform::RemoveFile(const std::string& path) {
  return FileTable::RemoveFile(path);
}
bool Platform::MakeDirectory(const std::string& path) {
  return FileTable::MakeDirectory(path);
}
bool Platform::FileExists(const std::string& path) {
  return FileTable::FileExists(path);
}
bool Platform::FileWritable(const std::string& path) {
  return FileTable::FileWritable(path);
}

// --- access ---

void Platform::Log(DrawCall::Kind k, std::initializer_list<int> n,
                   std::initializer_list<double> v) {
  DrawCall c;
  c.kind = k;
  std::copy(n.begin(), n.end(), c.n);
  std::copy(v.begin(), v.end(), c.v);
  log_->push_back(c);
}

const uint32_t* Platform::Framebuffer() const {
  return renderer_->Pixels();
}
void Platform::SetDrawingEnabled(bool on) {
  renderer_->SetEnabled(on);
}

}  // namespace sb
