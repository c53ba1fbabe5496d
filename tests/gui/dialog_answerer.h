// Answers one real modal dialog of this process from a helper thread, the
// way a person would: it waits for the dialog window to appear, reads it,
// then presses a button or types a file name and presses OK.
#pragma once

#include <windows.h>

#include <string>
#include <thread>

struct SeenDialog {
  bool appeared = false;
  std::string caption;
  std::string text;  // a message box's message
};

// Presses the button with this identifier (IDOK, IDYES, IDNO, IDCANCEL).
struct PressButton {
  int button;
};
// Types the name into the file dialog's name box and presses OK.
struct EnterFileName {
  std::string name;
};

class DialogAnswerer {
 public:
  explicit DialogAnswerer(PressButton action) { answer(action.button, std::string()); }
  explicit DialogAnswerer(EnterFileName action) { answer(IDOK, std::move(action.name)); }
  DialogAnswerer(const DialogAnswerer&) = delete;
  DialogAnswerer& operator=(const DialogAnswerer&) = delete;
  ~DialogAnswerer();

  // Waits for the helper to finish (at most its timeout) and says what it
  // saw. A dialog that never appeared gives appeared == false.
  SeenDialog result();

 private:
  void answer(int button, std::string name);

  SeenDialog seen_;
  std::thread helper_;
};
