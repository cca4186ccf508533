#include <gtest/gtest.h>

#include <vector>

#include "platform/input_sink.h"
#include "platform/platform.h"
#include "tests/support/headless_fixture.h"

namespace tvx::platform {
namespace {

// A window procedure that records what it gets and hands the rest to the default handling.
struct Recorder {
  std::vector<Message> seen;
  static intptr_t Proc(void* context, const Message& message) {
    auto* self = static_cast<Recorder*>(context);
    self->seen.push_back(message);
    return DefaultWindowProc(message);
  }
  std::vector<Msg> Kinds() const {
    std::vector<Msg> kinds;
    for (const auto& m : seen) kinds.push_back(m.kind);
    return kinds;
  }
};

class WindowQueueTest : public testing::HeadlessTest {
 protected:
  // Lives until after TearDown, which destroys the window and so still calls its procedure.
  Recorder recorder;
  WindowId MakeWindow(Recorder& recorder) {
    WindowDesc desc;
    desc.title = "TALVEX";
    desc.proc = {&Recorder::Proc, &recorder};
    const WindowId id = CreateWindow(desc);
    ShowWindow(id, ShowCommand::Show);
    recorder.seen.clear();
    return id;
  }
  // Drains the queue, dispatching everything.
  void Drain() {
    while (auto m = PeekMessage()) DispatchMessage(*m);
  }
};

TEST_F(WindowQueueTest, MessagesComeOneAtATimeInOrder) {
  StartPlatform("0 key down A\n0 key up A\n0 mouse move 10 20\n");
  const WindowId window = MakeWindow(recorder);
  PostMessage(window, Msg::User, 1);
  // Peeking without removing leaves the message there.
  ASSERT_TRUE(PeekMessage(false).has_value());
  size_t handled = 0;
  while (auto m = PeekMessage()) {
    DispatchMessage(*m);
    ++handled;
  }
  // SetFocus from creation, User, the two keys and the mouse move, each once.
  EXPECT_EQ(handled, 5u);
  std::vector<Msg> kinds = recorder.Kinds();
  // The mouse move lets the window choose its cursor first.
  EXPECT_EQ(kinds, (std::vector<Msg>{Msg::SetFocus, Msg::User, Msg::KeyDown, Msg::KeyUp,
                                     Msg::SetCursor, Msg::MouseMove}));
  EXPECT_EQ(recorder.seen[5].lparam, PackPoint(10, 20));
  EXPECT_EQ(CursorPos(), (Point{10, 20}));
}

TEST_F(WindowQueueTest, AltCombinationsAreSystemKeysAndAltF4Closes) {
  StartPlatform("0 key down Alt\n0 key down Space\n0 key up Space\n0 key down F4\n");
  const WindowId window = MakeWindow(recorder);
  Drain();
  EXPECT_EQ(recorder.Kinds(),
            (std::vector<Msg>{Msg::SetFocus, Msg::SysKeyDown, Msg::SysKeyDown, Msg::SysKeyUp,
                              Msg::SysKeyDown, Msg::SysCommand, Msg::Close, Msg::Destroy}));
  EXPECT_EQ(recorder.seen[5].wparam, kScClose);
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(WindowQueueTest, TranslateAndAccelerators) {
  StartPlatform("0 key down S\n0 key up S\n0 key down Shift\n0 key down S\n");
  const WindowId window = MakeWindow(recorder);
  const Accelerator table[] = {{LetterKey('S'), kModNone, 40037}};
  SetAccelerators(table);
  while (auto m = PeekMessage()) {
    if (!TranslateAccelerator(window, *m)) TranslateMessage(*m);
    DispatchMessage(*m);
  }
  std::vector<Msg> kinds = recorder.Kinds();
  // S: the accelerator sends the command; Shift+S does not match it and gives 'S'.
  EXPECT_EQ(kinds, (std::vector<Msg>{Msg::SetFocus, Msg::Command, Msg::KeyDown, Msg::KeyUp,
                                     Msg::KeyDown, Msg::KeyDown, Msg::Char}));
  EXPECT_EQ(recorder.seen[1].wparam & 0xFFFF, 40037u);
  EXPECT_EQ(recorder.seen.back().wparam, static_cast<uint32_t>('S'));
}

TEST_F(WindowQueueTest, TypedTextArrivesAsGbkCharactersWhileKeysMakeNone) {
  // 你 (C4 E3) and 好 (BA C3); a tab and a lone lead byte are no text.
  StartPlatform("0 key down A\n0 key up A\n0 type a\xE4\xBD\xA0\t\xE5\xA5\xBD!\n");
  const WindowId window = MakeWindow(recorder);
  StartTextInput();
  EXPECT_TRUE(TextInputActive());
  while (auto m = PeekMessage()) {
    TranslateMessage(*m);
    DispatchMessage(*m);
  }
  input::Text("\xC4");
  Drain();
  std::vector<uint32_t> chars;
  for (const Message& m : recorder.seen)
    if (m.kind == Msg::Char) chars.push_back(m.wparam);
  EXPECT_EQ(chars, (std::vector<uint32_t>{'a', 0xC4E3, 0xBAC3, '!'}));
  // With text input off the key gives its character again.
  StopTextInput();
  recorder.seen.clear();
  TranslateMessage({window, Msg::KeyDown, static_cast<uint32_t>(LetterKey('B'))});
  Drain();
  ASSERT_EQ(recorder.Kinds(), std::vector<Msg>{Msg::Char});
  EXPECT_EQ(recorder.seen[0].wparam, static_cast<uint32_t>('b'));
}

TEST_F(WindowQueueTest, PaintingGoesThroughTheUpdateRegion) {
  StartPlatform();
  const WindowId window = MakeWindow(recorder);
  UpdateWindow(window);  // creation invalidated nothing by itself
  recorder.seen.clear();
  UpdateWindow(window);
  EXPECT_TRUE(recorder.seen.empty());
  InvalidateRect(window, Rect{10, 10, 20, 20});
  InvalidateRect(window, Rect{30, 5, 40, 12});
  UpdateWindow(window);
  ASSERT_EQ(recorder.Kinds(), std::vector<Msg>{Msg::Paint});
  // The default paint handling validated the region: nothing more to paint.
  recorder.seen.clear();
  UpdateWindow(window);
  EXPECT_TRUE(recorder.seen.empty());

  // Copies land bottom-up like the planes and are clipped to the window.
  PresentDirty();  // what creation drew is on screen
  std::vector<uint16_t> picture(4 * 2);
  for (size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<uint16_t>(i + 1);
  CopyToWindow(window, {picture, 4, 2}, {0, 0, 4, 2}, {638, 479});
  const Framebuffer* fb = WindowFramebuffer(window);
  ASSERT_NE(fb, nullptr);
  // Row 0 of the picture is its last row in memory (indices 4..7).
  EXPECT_EQ(fb->At(638, 479), 5);
  EXPECT_EQ(fb->At(639, 479), 6);
  EXPECT_EQ(fb->dirty(), (Rect{638, 479, 640, 480}));
  const int before = backend().present_count();
  PeekMessage();
  EXPECT_EQ(backend().present_count(), before + 1);
  EXPECT_TRUE(fb->dirty().Empty());
}

TEST_F(WindowQueueTest, CoversKeepWhatIsDrawnOverThemAgainstCopies) {
  StartPlatform("");
  const WindowId window = MakeWindow(recorder);
  // A menu of 3 x 2 pixels at (2, 1), drawn top-down over the window.
  const std::vector<uint16_t> menu = {1, 2, 3, 4, 5, 6};
  const std::vector<Rect> covers = {{2, 1, 5, 3}, {4, 3, 6, 4}};
  SetWindowCovers(window, covers);
  DrawOverWindow(window, menu, 3, 2, {2, 1});
  // The game copies a whole screen of 9s: everything but the covers changes.
  std::vector<uint16_t> game(640 * 480, 9);
  CopyToWindow(window, {game, 640, 480}, {0, 0, 640, 480}, {0, 0});
  const Framebuffer& fb = *WindowFramebuffer(window);
  EXPECT_EQ(fb.At(2, 1), 1);
  EXPECT_EQ(fb.At(4, 2), 6);
  EXPECT_EQ(fb.At(1, 1), 9);
  EXPECT_EQ(fb.At(5, 1), 9);
  EXPECT_EQ(fb.At(3, 3), 9);
  EXPECT_EQ(fb.At(4, 3), 0);  // the second cover, overlapping runs on its row
  EXPECT_EQ(fb.At(6, 3), 9);
  // Taken away, the covers no longer hold anything back.
  SetWindowCovers(window, {});
  CopyToWindow(window, {game, 640, 480}, {0, 0, 640, 480}, {0, 0});
  EXPECT_EQ(fb.At(2, 1), 9);
  EXPECT_EQ(fb.At(4, 3), 9);
}

TEST_F(WindowQueueTest, CursorCounterCaptureAndAsyncLatch) {
  StartPlatform("0 key down Space\n0 key up Space\n");
  const WindowId window = MakeWindow(recorder);
  EXPECT_EQ(ShowCursor(false), -1);
  EXPECT_FALSE(backend().cursor_visible());
  EXPECT_EQ(ShowCursor(false), -2);
  EXPECT_EQ(ShowCursor(true), -1);
  EXPECT_FALSE(backend().cursor_visible());
  EXPECT_EQ(ShowCursor(true), 0);
  EXPECT_TRUE(backend().cursor_visible());

  EXPECT_EQ(SetCapture(window), kNoWindow);
  EXPECT_EQ(Capture(), window);
  EXPECT_TRUE(backend().mouse_captured());
  ReleaseCapture();
  EXPECT_EQ(Capture(), kNoWindow);

  PeekMessage();  // takes the key events in
  EXPECT_FALSE(IsKeyDown(Key::Space));
  EXPECT_TRUE(AsyncKeyState(Key::Space));   // pressed since the last query
  EXPECT_FALSE(AsyncKeyState(Key::Space));  // and the latch is gone
}

TEST_F(WindowQueueTest, VirtualClockMovesOnlyThroughThePump) {
  StartPlatform("5 key down Enter\n");
  EXPECT_EQ(TickCount(), 0u);
  // An idle wait moves on by a millisecond but never past the next scripted event.
  for (int i = 0; i < 5; ++i) IdleWait();
  EXPECT_EQ(backend().NowMicros(), 5000u);
  EXPECT_FALSE(IsKeyDown(Key::Enter));
  PeekMessage();
  EXPECT_TRUE(IsKeyDown(Key::Enter));
  Sleep(30);
  EXPECT_EQ(TickCount(), 35u);
  Sleep(0);
  EXPECT_EQ(backend().NowMicros(), 35'010u);
}

TEST_F(WindowQueueTest, MinimizeAndRestoreSendSizeMessages) {
  StartPlatform("0 minimize\n");
  const WindowId window = MakeWindow(recorder);
  Drain();
  EXPECT_TRUE(IsMinimized(window));
  EXPECT_FALSE(HasActiveWindow());
  ASSERT_GE(recorder.seen.size(), 2u);
  EXPECT_EQ(recorder.seen[recorder.seen.size() - 1].kind, Msg::Size);
  EXPECT_EQ(recorder.seen.back().wparam, kSizeMinimized);
  // Minimizing again changes nothing and sends nothing.
  recorder.seen.clear();
  ShowWindow(window, ShowCommand::Minimize);
  EXPECT_TRUE(recorder.seen.empty());
  ShowWindow(window, ShowCommand::Restore);
  EXPECT_FALSE(IsMinimized(window));
  EXPECT_TRUE(HasActiveWindow());
  ASSERT_FALSE(recorder.seen.empty());
  EXPECT_EQ(recorder.seen[0].kind, Msg::Size);
  EXPECT_EQ(recorder.seen[0].wparam, kSizeRestored);
}

TEST_F(WindowQueueTest, ForgottenBoxesLeaveRoomForTheNextGamesBoxes) {
  StartPlatform();
  for (size_t i = 0; i < kKeptBoxes + 2; ++i)
    MessageBox(kNoWindow, "caption", "text", BoxButtons::Ok);
  ASSERT_EQ(ShownBoxes().size(), kKeptBoxes);
  ASSERT_EQ(BoxesNotKept(), 2u);
  ForgetShownBoxes();
  EXPECT_TRUE(ShownBoxes().empty());
  EXPECT_EQ(BoxesNotKept(), 0u);
  MessageBox(kNoWindow, "next", "game", BoxButtons::OkCancel);
  ASSERT_EQ(ShownBoxes().size(), 1u);
  EXPECT_EQ(ShownBoxes()[0].caption, "next");
  EXPECT_EQ(ShownBoxes()[0].buttons, BoxButtons::OkCancel);
}

}  // namespace
}  // namespace tvx::platform
