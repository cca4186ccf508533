#include "tools/run_backend.h"

#include <algorithm>

#include "platform/platform.h"
#include "resources/gbk.h"

namespace tvx::tool {

DumpHooks::DumpHooks(std::vector<uint32_t> times, std::function<void(uint32_t)> at_time)
    : times_(std::move(times)), at_time_(std::move(at_time)) {
  std::sort(times_.begin(), times_.end());
  times_.erase(std::unique(times_.begin(), times_.end()), times_.end());
}

void DumpHooks::AfterPoll(uint32_t now_ms) {
  // One at a time, the index moved on first: a callback may itself look at the queue.
  while (next_time_ < times_.size() && now_ms >= times_[next_time_]) {
    const uint32_t due = times_[next_time_++];
    if (at_time_) at_time_(due);
  }
  if (real_time_end_ && std::chrono::steady_clock::now() >= *real_time_end_) {
    real_time_end_.reset();
    if (real_time_expired_) real_time_expired_();
  }
}

void DumpHooks::SetRealTimeLimit(uint32_t seconds, std::function<void()> expired) {
  real_time_end_ = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  real_time_expired_ = std::move(expired);
}

void DumpHooks::WindowCreated(platform::WindowId id, const platform::WindowDesc& desc) {
  closed_.erase(id);
  if (desc.owner == platform::kNoWindow) top_level_.push_back(id);
}

void DumpHooks::WindowClosing(platform::WindowId id) {
  // Only top-level windows (the main window among them) are kept: there are few of those.
  const auto top = std::find(top_level_.begin(), top_level_.end(), id);
  if (top == top_level_.end()) return;
  top_level_.erase(top);
  if (const platform::Framebuffer* framebuffer = platform::WindowFramebuffer(id))
    closed_.insert_or_assign(id, *framebuffer);
}

std::vector<uint32_t> DumpHooks::pendingTimes() const {
  return {times_.begin() + static_cast<ptrdiff_t>(next_time_), times_.end()};
}

const platform::Framebuffer* DumpHooks::Screen(platform::WindowId id) const {
  if (const platform::Framebuffer* live = platform::WindowFramebuffer(id)) return live;
  const auto closed = closed_.find(id);
  return closed == closed_.end() ? nullptr : &closed->second;
}

void HeadlessRunBackend::PollEvents() {
  HeadlessBackend::PollEvents();
  hooks_.AfterPoll(TickCount());
}

bool HeadlessRunBackend::CreateNativeWindow(platform::WindowId id,
                                            const platform::WindowDesc& desc) {
  hooks_.WindowCreated(id, desc);
  return HeadlessBackend::CreateNativeWindow(id, desc);
}

void HeadlessRunBackend::DestroyNativeWindow(platform::WindowId id) {
  hooks_.WindowClosing(id);
  HeadlessBackend::DestroyNativeWindow(id);
}

platform::BoxAnswer HeadlessRunBackend::ShowMessageBox(platform::WindowId owner,
                                                       std::string_view caption_gbk,
                                                       std::string_view text_gbk,
                                                       platform::BoxButtons buttons) {
  // Only the boxes the platform keeps are written; the run counts the rest at its end.
  if (platform::ShownBoxes().size() < platform::kKeptBoxes) {
    std::string text = gbk::ToUtf8(text_gbk);
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    box_log_ << "talvex-tool run: box \"" << gbk::ToUtf8(caption_gbk) << "\": " << text << '\n';
    box_log_.flush();
  }
  return HeadlessBackend::ShowMessageBox(owner, caption_gbk, text_gbk, buttons);
}

void WrappedRunBackend::PollEvents() {
  inner_->PollEvents();
  hooks_.AfterPoll(inner_->TickCount());
}

bool WrappedRunBackend::CreateNativeWindow(platform::WindowId id,
                                           const platform::WindowDesc& desc) {
  hooks_.WindowCreated(id, desc);
  return inner_->CreateNativeWindow(id, desc);
}

void WrappedRunBackend::DestroyNativeWindow(platform::WindowId id) {
  hooks_.WindowClosing(id);
  inner_->DestroyNativeWindow(id);
}

}  // namespace tvx::tool
