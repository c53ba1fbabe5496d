// Stands in for the person at the screen: answers message boxes and file
// dialogs from a script and records what the program showed and asked.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

struct ShownBox {
  HWND owner;
  std::string text;
  std::string caption;
  std::string output_then;  // the output pane's text while the box was up
};

struct ShownFileDialog {
  bool open;  // GetOpenFileName, else GetSaveFileName
};

struct ShellCall {
  std::string verb;
  std::string file;
};

class ScriptedUser {
 public:
  // Takes over the program's dialogs until destroyed.
  ScriptedUser();
  ~ScriptedUser();
  ScriptedUser(const ScriptedUser&) = delete;
  ScriptedUser& operator=(const ScriptedUser&) = delete;

  // Answers for the next boxes, in order; without one a box is answered
  // with Cancel (or OK when it has only that button).
  std::deque<int> box_answers;
  // Names chosen in the next file dialogs; nothing means Cancel.
  std::deque<std::optional<std::string>> file_choices;

  std::vector<ShownBox> boxes;
  std::vector<ShownFileDialog> file_dialogs;
  std::vector<ShellCall> shell_calls;

  // Hands a kind of dialog back to the system for one test.
  void use_system_message_box();
  void use_system_file_dialogs();
  void use_system_shell();
};
