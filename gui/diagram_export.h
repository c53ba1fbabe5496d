// The timing view's diagram leaving the view: written as the SVG cdmsim
// writes, or put on the clipboard as a picture.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "simulation.h"
#include "timing_run.h"

// Runs the program of `result` again under its settings into the SVG writer
// cdmsim uses, titled with `name` and covering `window`, and writes it to
// `path` (in the system's code page) whole or not at all. The one-line
// report: "Wrote PATH." or why it could not.
std::string save_diagram_svg(const TimingResult& result, const std::string& name, const CycleWindow& window,
                             const std::string& path);

// Puts a `width` by `height` bitmap that `paint` draws on the clipboard;
// false when the clipboard cannot be had.
bool copy_picture(HWND owner, int width, int height, const std::function<void(HDC)>& paint);
