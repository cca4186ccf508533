#include "platform/sdl/sdl_backend.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/message_box_layout.h"
#include "platform/platform.h"

namespace tvx::platform {
namespace {

constexpr uint16_t kRed = 0x7C00;
constexpr uint16_t kBlue = 0x001F;
constexpr uint16_t kGreen = 0x03E0;

class SdlBackendTest : public ::testing::Test {
 protected:
  void SetUp() override { Start(true); }
  void TearDown() override { Uninstall(); }

  void Start(bool windowed) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::unique_ptr<Backend> backend = CreateSdlBackend(windowed);
    ASSERT_NE(backend, nullptr);
    sdl_ = static_cast<SdlBackend*>(backend.get());
    Install(std::move(backend));
  }

  WindowId MakeWindow(WindowStyle style = WindowStyle::Overlapped) {
    WindowDesc desc;
    desc.title = "\xB2\xE2\xCA\xD4";  // 测试
    desc.style = style;
    const WindowId id = CreateWindow(desc);
    EXPECT_NE(id, kNoWindow);
    ShowWindow(id, ShowCommand::Show);
    Drain();
    return id;
  }

  uint32_t SdlId(WindowId id) const { return sdl_->NativeWindowId(id); }

  // Everything the queue holds, once the backend has had the time to look at SDL again.
  std::vector<Message> Drain() {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    std::vector<Message> messages;
    while (std::optional<Message> m = PeekMessage()) messages.push_back(*m);
    return messages;
  }

  static void Push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError(); }

  static void PushKey(SDL_Keycode key, bool down, uint32_t window, bool repeat = false,
                      Uint16 modifiers = KMOD_NONE) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.windowID = window;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = repeat ? 1 : 0;
    e.key.keysym.sym = key;
    e.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    e.key.keysym.mod = modifiers;
    Push(e);
  }

  static void PushMotion(uint32_t window, int x, int y) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = window;
    e.motion.x = x;
    e.motion.y = y;
    Push(e);
  }

  static void PushButton(uint32_t window, Uint8 button, bool down, int x, int y) {
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.windowID = window;
    e.button.button = button;
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = 1;
    e.button.x = x;
    e.button.y = y;
    Push(e);
  }

  static void PushWindowEvent(uint32_t window, SDL_WindowEventID what) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = window;
    e.window.event = static_cast<Uint8>(what);
    Push(e);
  }

  static void PushWheel(uint32_t window, int y, bool flipped) {
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.windowID = window;
    e.wheel.y = y;
    e.wheel.direction = flipped ? SDL_MOUSEWHEEL_FLIPPED : SDL_MOUSEWHEEL_NORMAL;
    Push(e);
  }

  // What the window shows at a point of its surface, as 8-bit red, green and blue.
  SDL_Color Shown(WindowId id, int x, int y) {
    SDL_Surface* surface = SDL_GetWindowSurface(SDL_GetWindowFromID(SdlId(id)));
    SDL_Color c{0, 0, 0, 0};
    if (!surface || x < 0 || y < 0 || x >= surface->w || y >= surface->h) {
      ADD_FAILURE() << "no surface pixel at " << x << "," << y;
      return c;
    }
    const auto* row = static_cast<const uint8_t*>(surface->pixels) + y * surface->pitch;
    uint32_t pixel = 0;
    std::memcpy(&pixel, row + x * surface->format->BytesPerPixel, surface->format->BytesPerPixel);
    SDL_GetRGB(pixel, surface->format, &c.r, &c.g, &c.b);
    return c;
  }

  static bool IsColour(SDL_Color c, uint16_t colour) {
    const auto near = [](int shown, int five) { return std::abs(shown - (five * 255 / 31)) < 24; };
    return near(c.r, (colour >> 10) & 31) && near(c.g, (colour >> 5) & 31) &&
           near(c.b, colour & 31);
  }

  static std::vector<Msg> Kinds(const std::vector<Message>& messages) {
    std::vector<Msg> kinds;
    for (const Message& m : messages) kinds.push_back(m.kind);
    return kinds;
  }

  SdlBackend* sdl_ = nullptr;
};

// ---- Input ----

TEST_F(SdlBackendTest, InputArrivesAsMessagesInOrder) {
  const WindowId window = MakeWindow();
  const uint32_t sdl = SdlId(window);
  PushKey(SDLK_RETURN, true, sdl);
  PushKey(SDLK_RETURN, false, sdl);
  PushMotion(sdl, 100, 50);
  PushButton(sdl, SDL_BUTTON_LEFT, true, 100, 50);
  PushButton(sdl, SDL_BUTTON_LEFT, false, 100, 50);
  PushButton(sdl, SDL_BUTTON_RIGHT, true, 100, 50);
  PushWindowEvent(sdl, SDL_WINDOWEVENT_CLOSE);

  const std::vector<Message> messages = Drain();
  ASSERT_EQ(Kinds(messages),
            (std::vector<Msg>{Msg::KeyDown, Msg::KeyUp, Msg::MouseMove, Msg::LButtonDown,
                              Msg::LButtonUp, Msg::RButtonDown, Msg::SysCommand}));
  for (const Message& m : messages) EXPECT_EQ(m.window, window);
  EXPECT_EQ(messages[0].wparam, static_cast<uint32_t>(Key::Enter));
  EXPECT_EQ(messages[1].wparam, static_cast<uint32_t>(Key::Enter));
  for (size_t i = 2; i < 6; ++i) EXPECT_EQ(UnpackPoint(messages[i].lparam), (Point{100, 50}));
  EXPECT_EQ(messages[6].wparam, kScClose);
  // Closing is the engine's decision: the window is still there.
  EXPECT_TRUE(IsWindow(window));
  EXPECT_TRUE(IsKeyDown(static_cast<Key>(0x02)));  // the right button is held
}

TEST_F(SdlBackendTest, KeysMapToTheEngineCodes) {
  const WindowId window = MakeWindow();
  const uint32_t sdl = SdlId(window);
  const std::vector<std::pair<SDL_Keycode, Key>> keys = {
      {SDLK_KP_ENTER, Key::Enter},
      {SDLK_ESCAPE, Key::Escape},
      {SDLK_SPACE, Key::Space},
      {SDLK_TAB, Key::Tab},
      {SDLK_LEFT, Key::Left},
      {SDLK_UP, Key::Up},
      {SDLK_RIGHT, Key::Right},
      {SDLK_DOWN, Key::Down},
      {SDLK_RSHIFT, Key::Shift},
      {SDLK_LCTRL, Key::Ctrl},
      {SDLK_RCTRL, Key::Ctrl},
      {SDLK_F1, Key::F1},
      {SDLK_F12, static_cast<Key>(0x7B)},
      {SDLK_a, Key::A},
      {SDLK_z, LetterKey('Z')},
      {SDLK_0, Key::Digit0},
      {SDLK_9, static_cast<Key>('9')},
  };
  for (const auto& [sdl_key, key] : keys) {
    PushKey(sdl_key, true, sdl);
    PushKey(sdl_key, false, sdl);
  }
  const std::vector<Message> messages = Drain();
  ASSERT_EQ(messages.size(), keys.size() * 2);
  for (size_t i = 0; i < keys.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(messages[2 * i].kind, Msg::KeyDown);
    EXPECT_EQ(messages[2 * i].wparam, static_cast<uint32_t>(keys[i].second));
    EXPECT_EQ(messages[2 * i + 1].kind, Msg::KeyUp);
  }

  // Alt makes keys system keys; a key held down repeats as key-downs; unknown keys vanish.
  PushKey(SDLK_LALT, true, sdl);
  PushKey(SDLK_F4, true, sdl);
  PushKey(SDLK_F4, false, sdl);
  PushKey(SDLK_LALT, false, sdl);
  PushKey(SDLK_x, true, sdl);
  PushKey(SDLK_x, true, sdl, true);
  PushKey(SDLK_x, true, sdl, true);
  PushKey(SDLK_CAPSLOCK, true, sdl);
  EXPECT_EQ(Kinds(Drain()),
            (std::vector<Msg>{Msg::SysKeyDown, Msg::SysKeyDown, Msg::SysKeyUp, Msg::SysKeyUp,
                              Msg::KeyDown, Msg::KeyDown, Msg::KeyDown}));
  EXPECT_TRUE(IsKeyDown(LetterKey('X')));
}

TEST_F(SdlBackendTest, WheelNotchesAreWorth120) {
  const WindowId window = MakeWindow();
  const uint32_t sdl = SdlId(window);
  PushWheel(sdl, 1, false);
  PushWheel(sdl, -2, false);
  PushWheel(sdl, 1, true);
  const std::vector<Message> messages = Drain();
  ASSERT_EQ(Kinds(messages), (std::vector<Msg>(3, Msg::MouseWheel)));
  const auto delta = [](const Message& m) { return static_cast<int16_t>(m.wparam >> 16); };
  EXPECT_EQ(delta(messages[0]), 120);
  EXPECT_EQ(delta(messages[1]), -240);
  EXPECT_EQ(delta(messages[2]), -120);
}

TEST_F(SdlBackendTest, MouseOnlyMovesWhenItReallyMoved) {
  const WindowId window = MakeWindow();
  const uint32_t sdl = SdlId(window);
  PushMotion(sdl, 10, 20);
  PushMotion(sdl, 10, 20);
  // A click elsewhere than the pointer was last seen reports the move first.
  PushButton(sdl, SDL_BUTTON_LEFT, true, 30, 40);
  // Outside the picture the pointer stays on its edge.
  PushMotion(sdl, 700, -5);
  // The middle button is not for the engine.
  PushButton(sdl, SDL_BUTTON_MIDDLE, true, 639, 0);
  const std::vector<Message> messages = Drain();
  ASSERT_EQ(Kinds(messages),
            (std::vector<Msg>{Msg::MouseMove, Msg::MouseMove, Msg::LButtonDown, Msg::MouseMove}));
  EXPECT_EQ(UnpackPoint(messages[0].lparam), (Point{10, 20}));
  EXPECT_EQ(UnpackPoint(messages[1].lparam), (Point{30, 40}));
  EXPECT_EQ(UnpackPoint(messages[2].lparam), (Point{30, 40}));
  EXPECT_EQ(UnpackPoint(messages[3].lparam), (Point{639, 0}));
}

TEST_F(SdlBackendTest, WindowManagerEventsBecomeStateAndMessages) {
  const WindowId window = MakeWindow();
  const uint32_t sdl = SdlId(window);
  EXPECT_EQ(FocusWindow(), window);

  PushKey(SDLK_LSHIFT, true, sdl);
  PushWindowEvent(sdl, SDL_WINDOWEVENT_FOCUS_LOST);
  std::vector<Message> messages = Drain();
  EXPECT_EQ(Kinds(messages), (std::vector<Msg>{Msg::KeyDown, Msg::KillFocus}));
  // Keys let go of in another program never come back: they count as released.
  EXPECT_FALSE(IsKeyDown(Key::Shift));
  EXPECT_FALSE(HasActiveWindow());

  PushWindowEvent(sdl, SDL_WINDOWEVENT_FOCUS_GAINED);
  PushWindowEvent(sdl, SDL_WINDOWEVENT_MINIMIZED);
  messages = Drain();
  ASSERT_EQ(Kinds(messages), (std::vector<Msg>{Msg::SetFocus, Msg::Size}));
  EXPECT_EQ(messages[1].wparam, kSizeMinimized);
  EXPECT_TRUE(IsMinimized(window));

  PushWindowEvent(sdl, SDL_WINDOWEVENT_RESTORED);
  messages = Drain();
  ASSERT_EQ(Kinds(messages), (std::vector<Msg>{Msg::SysCommand}));
  EXPECT_EQ(messages[0].wparam, kScRestore);

  // A quit request (a signal, the session ending) is a close request to the main window.
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  Push(quit);
  messages = Drain();
  ASSERT_EQ(Kinds(messages), (std::vector<Msg>{Msg::SysCommand}));
  EXPECT_EQ(messages[0].window, window);
  EXPECT_EQ(messages[0].wparam, kScClose);
}

// ---- Pictures ----

TEST_F(SdlBackendTest, PresentShowsThePictureUprightAndUploadsTheDirtyPart) {
  const WindowId window = MakeWindow();
  Framebuffer& frame = *WindowFramebuffer(window);
  // Top half red, bottom half blue.
  std::vector<uint16_t> picture(640 * 480);
  for (int32_t y = 0; y < 480; ++y)
    for (int32_t x = 0; x < 640; ++x)
      picture[static_cast<size_t>(479 - y) * 640 + x] = y < 240 ? kRed : kBlue;
  CopyToWindow(window, {picture, 640, 480}, {0, 0, 640, 480}, {0, 0});
  PresentDirty();
  EXPECT_TRUE(frame.dirty().Empty());
  EXPECT_TRUE(IsColour(Shown(window, 5, 5), kRed));
  EXPECT_TRUE(IsColour(Shown(window, 635, 235), kRed));
  EXPECT_TRUE(IsColour(Shown(window, 5, 245), kBlue));
  EXPECT_TRUE(IsColour(Shown(window, 635, 475), kBlue));

  // A small green patch near the top left: only it changes.
  std::vector<uint16_t> patch(20 * 10, kGreen);
  CopyToWindow(window, {patch, 20, 10}, {0, 0, 20, 10}, {30, 40});
  EXPECT_EQ(frame.dirty(), (Rect{30, 40, 50, 50}));
  PresentDirty();
  EXPECT_TRUE(IsColour(Shown(window, 30, 40), kGreen));
  EXPECT_TRUE(IsColour(Shown(window, 49, 49), kGreen));
  EXPECT_TRUE(IsColour(Shown(window, 29, 40), kRed));
  EXPECT_TRUE(IsColour(Shown(window, 50, 49), kRed));
  EXPECT_TRUE(IsColour(Shown(window, 30, 39), kRed));
  EXPECT_TRUE(IsColour(Shown(window, 30, 50), kRed));
  // Rows mirrored about the middle are untouched.
  EXPECT_TRUE(IsColour(Shown(window, 35, 435), kBlue));
}

TEST_F(SdlBackendTest, LargerWindowShowsThePictureScaledWithBlackBars) {
  const WindowId window = MakeWindow();
  std::vector<uint16_t> picture(640 * 480, kRed);
  CopyToWindow(window, {picture, 640, 480}, {0, 0, 640, 480}, {0, 0});
  PresentDirty();
  SDL_SetWindowSize(SDL_GetWindowFromID(SdlId(window)), 1280, 720);
  Drain();  // the size change repaints
  // 960x720 in the middle, 160 pixels of black on either side.
  EXPECT_TRUE(IsColour(Shown(window, 80, 360), 0));
  EXPECT_TRUE(IsColour(Shown(window, 1200, 360), 0));
  EXPECT_TRUE(IsColour(Shown(window, 170, 10), kRed));
  EXPECT_TRUE(IsColour(Shown(window, 1110, 710), kRed));

  // Mouse positions arrive in picture coordinates.
  PushMotion(SdlId(window), 160 + 480, 360);
  const std::vector<Message> messages = Drain();
  ASSERT_EQ(Kinds(messages), (std::vector<Msg>{Msg::MouseMove}));
  EXPECT_EQ(UnpackPoint(messages[0].lparam), (Point{320, 240}));
}

TEST_F(SdlBackendTest, TheWindowedProgramKeepsTheDisplayModeButMayCoverTheDesktop) {
  const WindowId window = MakeWindow();
  SDL_Window* native = SDL_GetWindowFromID(SdlId(window));
  EXPECT_FALSE(SetFullscreen(window, true));
  EXPECT_FALSE(SDL_GetWindowFlags(native) & SDL_WINDOW_FULLSCREEN);
  EXPECT_TRUE(SetFullscreen(window, false));
  // Its own full screen lays the window over the desktop, and takes it back.
  ASSERT_TRUE(SetDesktopFullscreen(window, true));
  EXPECT_EQ(SDL_GetWindowFlags(native) & SDL_WINDOW_FULLSCREEN_DESKTOP,
            static_cast<Uint32>(SDL_WINDOW_FULLSCREEN_DESKTOP));
  EXPECT_EQ(WindowRect(window), (Rect{0, 0, 640, 480}));
  ASSERT_TRUE(SetDesktopFullscreen(window, false));
  EXPECT_FALSE(SDL_GetWindowFlags(native) & SDL_WINDOW_FULLSCREEN);
  EXPECT_FALSE(SetDesktopFullscreen(kNoWindow, true));
}

TEST_F(SdlBackendTest, FullScreenCoversTheDesktopAndComesBack) {
  Uninstall();
  Start(false);
  const WindowId window = MakeWindow(WindowStyle::Popup);
  SDL_Window* native = SDL_GetWindowFromID(SdlId(window));
  EXPECT_TRUE(SDL_GetWindowFlags(native) & SDL_WINDOW_BORDERLESS);
  ASSERT_TRUE(SetFullscreen(window, true));
  EXPECT_EQ(SDL_GetWindowFlags(native) & SDL_WINDOW_FULLSCREEN_DESKTOP,
            static_cast<Uint32>(SDL_WINDOW_FULLSCREEN_DESKTOP));
  EXPECT_EQ(WindowRect(window), (Rect{0, 0, 640, 480}));
  ASSERT_TRUE(SetFullscreen(window, false));
  EXPECT_FALSE(SDL_GetWindowFlags(native) & SDL_WINDOW_FULLSCREEN);
}

TEST_F(SdlBackendTest, CursorVisibilityAndShapes) {
  MakeWindow();
  ShowCursor(false);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
  ShowCursor(true);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);

  // A cursor picture must hold all its pixels.
  std::vector<uint32_t> image(16 * 16, 0xFFFFFFFF);
  EXPECT_FALSE(sdl_->RegisterCursorImage(8, {std::span(image).first(255), 16, 16, {}}));
  EXPECT_FALSE(sdl_->RegisterCursorImage(0, {image, 16, 16, {}}));
  // The dummy driver makes no cursors at all: even a whole picture is refused, and the
  // resource then shows the arrow.
  EXPECT_FALSE(RegisterCursorImage(8, {image, 16, 16, {2, 2}}));
  EXPECT_FALSE(HasCursorImage(8));
  SetCursor({8});
  EXPECT_EQ(CurrentCursor(), CursorShape{});
}

// ---- Resting ----

TEST_F(SdlBackendTest, AWaitForInputEndsOnInputOrAWakeButNotOnTheClock) {
  using namespace std::chrono_literals;
  const WindowId id = MakeWindow();
  const auto took = [](void (*rest)()) {
    const auto start = std::chrono::steady_clock::now();
    rest();
    return std::chrono::steady_clock::now() - start;
  };
  // Nothing comes: the rest lasts to its backstop (100 ms) although the clock passes at once.
  sdl_->ClockPassed(1);
  EXPECT_GE(took(IdleWaitForInput), 50ms);
  // A wake from another thread, or input, ends it long before.
  std::thread waker([] {
    std::this_thread::sleep_for(5ms);
    WakeIdleWait();
  });
  EXPECT_LT(took(IdleWaitForInput), 50ms);
  waker.join();
  Drain();
  std::thread typist([&] {
    std::this_thread::sleep_for(5ms);
    PushKey(SDLK_a, true, SdlId(id));
  });
  EXPECT_LT(took(IdleWaitForInput), 50ms);
  typist.join();
  EXPECT_EQ(Kinds(Drain()), std::vector<Msg>{Msg::KeyDown});
  // Wakes given before the rest end it at once; they make one, which the pump takes out, so
  // the rest after that sleeps again.
  WakeIdleWait();
  WakeIdleWait();
  EXPECT_LT(took(IdleWaitForInput), 50ms);
  EXPECT_TRUE(Drain().empty());
  EXPECT_GE(took(IdleWaitForInput), 50ms);
}

TEST_F(SdlBackendTest, LocalTimeIsADate) {
  const LocalTime now = Now();
  EXPECT_GE(now.year, 2024);
  EXPECT_TRUE(now.month >= 1 && now.month <= 12);
  EXPECT_TRUE(now.day >= 1 && now.day <= 31);
  EXPECT_TRUE(now.weekday >= 0 && now.weekday <= 6);
  EXPECT_TRUE(now.millisecond >= 0 && now.millisecond < 1000);
}

// ---- Message boxes ----

class SdlMessageBoxTest : public SdlBackendTest {
 protected:
  // Where the box's button `index` is in the owner's picture.
  static Point ButtonCentre(BoxButtons buttons, size_t index) {
    const MessageBoxLayout box = LayoutMessageBox("Caption", "Text", buttons);
    const Rect& r = box.buttons.at(index).rect;
    return {(640 - box.width) / 2 + (r.left + r.right) / 2,
            (480 - box.height) / 2 + (r.top + r.bottom) / 2};
  }
};

TEST_F(SdlMessageBoxTest, KeysAnswerTheBox) {
  const WindowId window = MakeWindow();
  const uint32_t sdl = SdlId(window);
  PushKey(SDLK_ESCAPE, true, sdl);
  EXPECT_EQ(MessageBox(window, "Caption", "Text", BoxButtons::OkCancel), BoxAnswer::Cancel);
  PushKey(SDLK_RETURN, true, sdl);
  EXPECT_EQ(MessageBox(window, "Caption", "Text", BoxButtons::OkCancel), BoxAnswer::Ok);
  PushKey(SDLK_ESCAPE, true, sdl);
  EXPECT_EQ(MessageBox(window, "Caption", "Text", BoxButtons::Ok), BoxAnswer::Ok);
  // Focus moves to Cancel and back; Space presses like Enter.
  PushKey(SDLK_TAB, true, sdl);
  PushKey(SDLK_SPACE, true, sdl);
  EXPECT_EQ(MessageBox(window, "Caption", "Text", BoxButtons::OkCancel), BoxAnswer::Cancel);
  PushKey(SDLK_RIGHT, true, sdl);
  PushKey(SDLK_LEFT, true, sdl);
  PushKey(SDLK_RETURN, true, sdl);
  EXPECT_EQ(MessageBox(window, "Caption", "Text", BoxButtons::OkCancel), BoxAnswer::Ok);
  // A key held down since before the box does not answer it.
  PushKey(SDLK_RETURN, true, sdl, true);
  PushKey(SDLK_ESCAPE, true, sdl);
  EXPECT_EQ(MessageBox(window, "Caption", "Text", BoxButtons::OkCancel), BoxAnswer::Cancel);

  // Alt+F4 closes the box; F4 alone does nothing.
  PushKey(SDLK_F4, true, sdl);
  PushKey(SDLK_F4, true, sdl, false, KMOD_LALT);
  EXPECT_EQ(MessageBox(window, "Caption", "Text", BoxButtons::OkCancel), BoxAnswer::Cancel);

  // What went to the box never reaches the engine's windows.
  EXPECT_TRUE(Drain().empty());
  EXPECT_FALSE(IsKeyDown(Key::Escape));
}

TEST_F(SdlMessageBoxTest, MouseClicksAnswerTheBox) {
  const WindowId window = MakeWindow();
  const uint32_t sdl = SdlId(window);
  const Point cancel = ButtonCentre(BoxButtons::OkCancel, 1);
  PushMotion(sdl, cancel.x, cancel.y);
  PushButton(sdl, SDL_BUTTON_LEFT, true, cancel.x, cancel.y);
  PushButton(sdl, SDL_BUTTON_LEFT, false, cancel.x, cancel.y);
  EXPECT_EQ(MessageBox(window, "Caption", "Text", BoxButtons::OkCancel), BoxAnswer::Cancel);

  // Let go elsewhere: no answer yet, but the pressed button has the focus.
  PushButton(sdl, SDL_BUTTON_LEFT, true, cancel.x, cancel.y);
  PushButton(sdl, SDL_BUTTON_LEFT, false, 5, 5);
  PushKey(SDLK_RETURN, true, sdl);
  EXPECT_EQ(MessageBox(window, "Caption", "Text", BoxButtons::OkCancel), BoxAnswer::Cancel);

  const Point ok = ButtonCentre(BoxButtons::OkCancel, 0);
  PushButton(sdl, SDL_BUTTON_LEFT, true, ok.x, ok.y);
  PushButton(sdl, SDL_BUTTON_LEFT, false, ok.x, ok.y);
  EXPECT_EQ(MessageBox(window, "Caption", "Text", BoxButtons::OkCancel), BoxAnswer::Ok);
  EXPECT_TRUE(Drain().empty());
}

TEST_F(SdlMessageBoxTest, OwnerCannotBeClosedWhileTheBoxIsOpen) {
  const WindowId window = MakeWindow();
  const uint32_t sdl = SdlId(window);
  PushWindowEvent(sdl, SDL_WINDOWEVENT_CLOSE);
  PushWindowEvent(sdl, SDL_WINDOWEVENT_EXPOSED);
  PushKey(SDLK_RETURN, true, sdl);
  EXPECT_EQ(MessageBox(window, "Caption", "Text", BoxButtons::OkCancel), BoxAnswer::Ok);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_TRUE(Drain().empty());
}

TEST_F(SdlMessageBoxTest, TheBoxIsDrawnOverTheOwnerAndTakenAwayAfter) {
  const WindowId window = MakeWindow();
  std::vector<uint16_t> picture(640 * 480, kBlue);
  CopyToWindow(window, {picture, 640, 480}, {0, 0, 640, 480}, {0, 0});
  PresentDirty();

  // The dummy video driver saves every frame it is given into the current folder.
  namespace fs = std::filesystem;
  const fs::path folder =
      fs::temp_directory_path() / ("talvex_box_frames_" + std::to_string(getpid()));
  fs::create_directories(folder);
  const fs::path previous = fs::current_path();
  fs::current_path(folder);
  setenv("SDL_VIDEO_DUMMY_SAVE_FRAMES", "1", 1);
  PushKey(SDLK_RETURN, true, SdlId(window));
  MessageBox(window, "Caption", "Text", BoxButtons::Ok);
  unsetenv("SDL_VIDEO_DUMMY_SAVE_FRAMES");
  fs::current_path(previous);

  // Frame files are numbered in the order they were shown.
  std::vector<fs::path> frames;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder))
    frames.push_back(entry.path());
  std::sort(frames.begin(), frames.end(), [](const fs::path& a, const fs::path& b) {
    const auto number = [](const fs::path& p) {
      const std::string name = p.stem().string();
      return std::stoi(name.substr(name.rfind('-') + 1));
    };
    return number(a) < number(b);
  });
  ASSERT_GE(frames.size(), 2u);
  const auto colour_at = [](const fs::path& file, int x, int y) {
    SDL_Color c{0, 0, 0, 0};
    SDL_Surface* surface = SDL_LoadBMP(file.string().c_str());
    if (!surface) {
      ADD_FAILURE() << SDL_GetError();
      return c;
    }
    const auto* row = static_cast<const uint8_t*>(surface->pixels) + y * surface->pitch;
    uint32_t pixel = 0;
    std::memcpy(&pixel, row + x * surface->format->BytesPerPixel, surface->format->BytesPerPixel);
    SDL_GetRGB(pixel, surface->format, &c.r, &c.g, &c.b);
    SDL_FreeSurface(surface);
    return c;
  };
  const MessageBoxLayout box = LayoutMessageBox("Caption", "Text", BoxButtons::Ok);
  const Point at{(640 - box.width) / 2, (480 - box.height) / 2};
  const fs::path& with_box = frames[frames.size() - 2];
  const fs::path& after = frames.back();
  EXPECT_TRUE(IsColour(colour_at(with_box, at.x + 5, at.y + box.height - 6), 0x6318));
  EXPECT_TRUE(IsColour(colour_at(with_box, at.x + box.width - 30, at.y + 5), 0x0010));
  EXPECT_TRUE(IsColour(colour_at(with_box, at.x - 2, at.y - 2), kBlue));
  EXPECT_TRUE(IsColour(colour_at(after, at.x + 5, at.y + box.height - 6), kBlue));
  EXPECT_TRUE(IsColour(colour_at(after, at.x + box.width - 30, at.y + 5), kBlue));
  fs::remove_all(folder);
}

TEST_F(SdlMessageBoxTest, BoxWithoutOwnerHasAWindowOfItsOwn) {
  MakeWindow();
  // Answering by closing the box's window: the watch closes any new window once shown.
  const auto closer = [](void*, SDL_Event* event) -> int {
    if (event->type == SDL_WINDOWEVENT && event->window.event == SDL_WINDOWEVENT_SHOWN) {
      SDL_Event close{};
      close.type = SDL_WINDOWEVENT;
      close.window.windowID = event->window.windowID;
      close.window.event = SDL_WINDOWEVENT_CLOSE;
      SDL_PushEvent(&close);
    }
    return 1;
  };
  SDL_AddEventWatch(closer, nullptr);
  EXPECT_EQ(MessageBox(kNoWindow, "Error", "Something failed", BoxButtons::OkCancel),
            BoxAnswer::Cancel);
  EXPECT_EQ(MessageBox(kNoWindow, "Error", "Something failed", BoxButtons::Ok), BoxAnswer::Ok);
  SDL_DelEventWatch(closer, nullptr);

  // Keys reach it whichever window SDL names; its window is gone afterwards.
  PushKey(SDLK_RETURN, true, 0);
  EXPECT_EQ(MessageBox(kNoWindow, "Error", "Something failed", BoxButtons::OkCancel),
            BoxAnswer::Ok);
  int windows = 0;
  for (uint32_t id = 1; id < 64; ++id) windows += SDL_GetWindowFromID(id) != nullptr;
  EXPECT_EQ(windows, 1);
  EXPECT_TRUE(Drain().empty());
}

TEST_F(SdlMessageBoxTest, CursorIsShownForTheBoxAndHiddenAgainAfter) {
  const WindowId window = MakeWindow();
  ShowCursor(false);
  ASSERT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
  PushKey(SDLK_RETURN, true, SdlId(window));
  MessageBox(window, "Caption", "Text", BoxButtons::Ok);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
}

}  // namespace
}  // namespace tvx::platform
