// The NOW FILE view of the debug menu: a small window beside the game that shows the file
// last used in each role (script, picture, data file, music, voice and the four effect
// channels), repainted whenever one of them changes. Closing it only hides it.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace tvx {

class NowFileView {
 public:
  static constexpr size_t kRows = 9;
  // The label of each row; row r shows name slot r + 1.
  static constexpr std::array<std::string_view, kRows> kLabels = {
      "MES FILE", "PIC FILE", "DATA FILE", "MUSIC FILE", "VOICE FILE",
      "SE1 FILE", "SE2 FILE", "SE3 FILE",  "SE4 FILE",
  };
  // The client area.
  static constexpr int32_t kWidth = 264;
  static constexpr int32_t kHeight = 214;

  // `names`: the name slots (GBK), slot 0 unused; the view reads them whenever it paints.
  explicit NowFileView(std::span<const std::string> names) : names_(names) {}
  NowFileView(const NowFileView&) = delete;
  NowFileView& operator=(const NowFileView&) = delete;
  ~NowFileView();

  // Opens the view, owned by `owner`, the first time; shows it again afterwards.
  void Show(platform::WindowId owner);
  // Repaints the names at once while the view is shown.
  void Refresh();
  bool shown() const { return shown_; }
  platform::WindowId handle() const { return handle_; }

  // The text of row r (GBK), as the view shows it.
  std::string_view Text(size_t row) const;
  // Draws the client area: kWidth × kHeight 5-5-5 pixels, rows top-down. Nothing when
  // `pixels` is smaller.
  void Render(std::span<uint16_t> pixels) const;

 private:
  static intptr_t Procedure(void* context, const platform::Message& message);
  intptr_t Handle(const platform::Message& message);
  void Paint(platform::WindowId window) const;

  std::span<const std::string> names_;
  platform::WindowId handle_ = platform::kNoWindow;
  bool shown_ = false;
};

}  // namespace tvx
