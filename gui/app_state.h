// The one record cdmgui keeps for the life of the process: every window
// handle, the document's and options' flags, and the paths. Every part of
// the program reads and writes it directly, on the one user-interface
// thread.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "simulation.h"

inline constexpr std::size_t kInstallDirSize = 257;

struct AppState {
  HWND mainWindow = nullptr;
  HWND sourcePane = nullptr;
  WNDPROC previousSourceProc = nullptr;
  HWND outputPane = nullptr;
  HWND openButton = nullptr;
  HWND saveButton = nullptr;
  HWND loadButton = nullptr;
  HWND startButton = nullptr;
  HWND stopButton = nullptr;
  HWND frequencyLabel = nullptr;
  HWND frequencyBox = nullptr;
  HWND unitLabel = nullptr;
  HWND positionLabel = nullptr;
  HWND boardLabel = nullptr;
  HWND boardBox = nullptr;
  bool modified = false;   // source edited since last opened, cleared or saved
  bool showDebug = false;  // the "Show &Debug Information" option
  char installDir[kInstallDirSize] = {};  // empty when the registry names none
  std::string fileName;                   // empty: untitled
  std::string boardNumberText = "0";      // last number the board library accepted
  // Absolute folder of interpreter.cfg, fixed at start-up: the installation
  // folder, else the folder the program was started in.
  std::string settingsFolder;
  // The copy of the source pane's text in front of the caret, kept from one
  // key release to the next: touching a fresh megabyte for the first time
  // costs more than copying the text into it.
  std::string textBeforeCaret;
  // The timing view, while it is open, and where it stood when last closed
  // (empty until then): it opens there again for the rest of the session.
  HWND timingView = nullptr;
  RECT timingViewPlace{};
  // The timing view's run settings (cdmsim's defaults until changed) and
  // whether it shows the outputs that never change, kept for the session.
  SimulationSettings timingSettings;
  bool timingShowsUnchanging = false;
};

extern AppState app;

// Replaces the output pane's whole text; reports never append.
void set_output_text(std::string_view text);

// Makes installDir the working directory. Without one, or when it cannot be
// entered, the working directory stays as it is.
void enter_install_dir();
