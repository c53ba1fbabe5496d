// The board emulator's settings, read from emulator.ini in its state folder.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct EmulatorConfig {
  std::vector<int> boards{0};        // board numbers that exist
  std::optional<int> default_board;  // selected before any cdm_select_board
  std::vector<int> unopenable;       // selectable, but cdm_init fails
  int firmware_id = 0x0203;
  std::string version = "1.0 (board emulator)";
  int memory_size = 32768;                 // instructions the board holds
  std::optional<int> fail_write_at;        // address whose write fails
  std::optional<std::string> error_text;   // text of the injected failure
  bool journal = false;                    // log every call to journal.txt
  std::optional<double> trace_ns;          // cdm_start writes this much of the run as board<N>.vcd
  bool trace_unusable = false;             // the last trace value given could not be used
  // Settings that were given but cannot be used, each naming its line.
  std::vector<std::string> problems;

  // The board cdm_init opens when none was selected in this process.
  std::optional<int> initial_board() const;
  bool has_board(int number) const;
  bool can_open(int number) const;
};

// Reads `key = value` lines; '#' starts a comment. Unknown keys and values
// that do not read as their key's type are ignored, keeping the default; a
// trace that is not a usable time is also named in `problems`, since a
// dump that silently does not appear is hard to account for.
EmulatorConfig parse_emulator_config(std::string_view text);

// The settings of the file at `path`, the defaults when there is none. A
// settings file is read only when it is a regular file no longer than
// kLongestSettingsFile (a FIFO would never end, /dev/zero never fill up);
// otherwise the defaults are kept, with the journal on, and `problems` says
// why.
constexpr std::size_t kLongestSettingsFile = 64 * 1024;
EmulatorConfig read_emulator_config(const std::filesystem::path& path);
