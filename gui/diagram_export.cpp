#include "diagram_export.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "diagram_writer.h"
#include "file_names.h"
#include "replacing_file.h"

std::string save_diagram_svg(const TimingResult& result, const std::string& name, const CycleWindow& window,
                             const std::string& path) {
  ReplacingFile file{narrow_path(path.c_str())};
  if (!file.open()) return "Cannot write " + path + ": " + file.error() + ".";
  WriterSettings settings;
  settings.clock_mhz = result.clock_mhz;
  settings.window = window;
  settings.labels = result.labels;
  DiagramWriter writer(settings, name);
  const RunEnd end = simulate(result.program, result.settings, writer);
  if (!writer.write(file.file(), end))
    return "Cannot write " + path + ": " + std::generic_category().message(errno) + ".";
  if (!file.commit()) return "Cannot write " + path + ": " + file.error() + ".";
  return "Wrote " + path + ".";
}

bool copy_picture(HWND owner, int width, int height, const std::function<void(HDC)>& paint) {
  HDC screen = GetDC(owner);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, std::max(width, 1), std::max(height, 1));
  ReleaseDC(owner, screen);
  HGDIOBJ old_bitmap = SelectObject(memory, bitmap);
  paint(memory);
  SelectObject(memory, old_bitmap);
  DeleteDC(memory);
  if (!OpenClipboard(owner)) {
    DeleteObject(bitmap);
    return false;
  }
  EmptyClipboard();
  // The clipboard owns the bitmap once it holds it.
  const bool held = SetClipboardData(CF_BITMAP, bitmap) != nullptr;
  CloseClipboard();
  if (!held) DeleteObject(bitmap);
  return held;
}
