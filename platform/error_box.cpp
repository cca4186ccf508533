#include "platform/error_box.h"

#include <atomic>

#include "platform/platform.h"

namespace tvx {
namespace {
std::atomic<ErrorBoxHandler> g_handler{nullptr};
}  // namespace

int ErrorBox(std::string_view caption_gbk, std::string_view text_gbk) {
  if (ErrorBoxHandler handler = g_handler.load()) {
    handler(caption_gbk, text_gbk);
  } else {
    platform::MessageBox(platform::kNoWindow, caption_gbk, text_gbk, platform::BoxButtons::Ok);
  }
  return 0;
}

void SetErrorBoxHandler(ErrorBoxHandler handler) { g_handler = handler; }

}  // namespace tvx
