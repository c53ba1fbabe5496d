// Each test runs the real start-up code of cdmgui in this process: the
// installation folder named in the registry is a fresh temporary folder, the
// board emulator keeps its state in another, and a scripted user answers
// the dialogs unless a test hands them back to the system.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "app_state.h"
#include "scripted_user.h"
#include "test_folder.h"

class GuiTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs start-up with this command line; the window is shown without
  // taking the focus from whatever has it.
  void start(const char* command_line = "");
  // Ends the window as the test's tear-down does, so that a test can start
  // the program a second time.
  void close_window();

  // The emulator's settings; the call journal is always kept.
  void configure_board(const std::string& settings);
  std::vector<std::string> journal() const;
  void forget_journal();

  // Messages as the window system delivers them.
  LRESULT command(int id, int notification = 0, HWND control = nullptr);
  void type_into_source(std::string_view keys);  // '\n' is the Enter key
  void release_key_in_source();
  void select_in_source(int start, int end);
  void set_box_text(HWND box, const char* text);

  std::string text_of(HWND window) const;
  std::string output() const { return text_of(app.outputPane); }
  std::string source() const { return text_of(app.sourcePane); }
  std::string title() const { return text_of(app.mainWindow); }
  bool debug_item_checked() const;
  // True when the exit sequence has asked the message loop to end.
  bool quit_requested();

  static std::string current_directory();
  static void write_install_key(const std::string& folder);
  static void remove_install_key();

  ScriptedUser user_;
  TestFolder install_;
  TestFolder board_;
  TestFolder documents_;

 private:
  std::string start_directory_;
  bool quit_seen_ = false;
};

// A path's Windows form, with backslashes.
std::string windows_path(const std::filesystem::path& path);
