// cdmgui at full board size: runs the real start-up code and window
// procedures in this process, sends the messages a person's clicks and keys
// send, and times each step until its result is in the window:
//   gui_benchmark <instructions>...
// For each size it generates a program (CR LF line ends, as saved on
// Windows), then times Open, the caret label after a key release at the end
// of the text, Load with Show Debug Information on and off, and Save, and
// checks that nothing was lost on the way: the source pane holds the whole
// file, the output pane the whole report, the saved file every byte. At the
// board's size it also times the timing view: opened with F5, shown again
// after a key typed into the source pane (its pause for typing to stop
// included), redrawn after a zoom and after Home, and after Left moves a
// cursor to an output's previous edge from the run's end. It also
// times Wine's edit control alone, given the same texts with no program
// around it. Dialogs are answered from here, as a person would answer them.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "app_state.h"
#include "interpreter.h"
#include "library_board.h"
#include "line_ends.h"
#include "program_generator.h"
#include "resource_ids.h"
#include "startup.h"
#include "timing_view.h"
#include "user_dialogs.h"
#include "window_text.h"

namespace {

constexpr double kSmallStepTargetMs = 100;  // every step at the board's default size
constexpr double kCaretTargetMs = 5;
constexpr double kLargeStepTargetMs = 5000;  // every step at a million instructions
constexpr unsigned kBoardDefaultSize = 32768;
constexpr double kViewShownTargetMs = 300;  // the timing view, from the last key to the new run shown
constexpr double kViewZoomTargetMs = 30;    // the timing view, a zoom's redraw

std::string chosen_file;  // the name the file dialogs answer with

BOOL choose(OPENFILENAMEA* request) {
  if (chosen_file.size() + 1 > request->nMaxFile) return FALSE;
  std::memcpy(request->lpstrFile, chosen_file.c_str(), chosen_file.size() + 1);
  return TRUE;
}

int answer_ok(HWND, const char*, const char*, UINT) { return IDOK; }

double now_ms() {
  static LARGE_INTEGER frequency{};
  if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Lets the window repaint what the step changed, as it would before the
// person sees the result.
void settle() {
  UpdateWindow(app.mainWindow);
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

template <typename Step>
double timed(Step step) {
  const double start = now_ms();
  step();
  settle();
  return now_ms() - start;
}

LRESULT command(int id) { return SendMessageA(app.mainWindow, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

std::string read_file(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool all_well = true;

// Where the window's text parts from the expected one, when it does.
std::string difference(const std::string& shown, const std::string& expected) {
  if (shown == expected) return "";
  std::size_t at = 0;
  while (at < shown.size() && at < expected.size() && shown[at] == expected[at]) ++at;
  return ", TEXT CUT OFF OR WRONG from byte " + std::to_string(at) + " of " + std::to_string(expected.size()) +
         ": \"" + shown.substr(at, 60) + "\"";
}

void print_step(const char* name, double ms, double target_ms, const std::string& shown = "",
                const std::string& expected = "") {
  const bool met = ms <= target_ms;
  const std::string wrong = difference(shown, expected);
  std::printf("  %-46s %9.1f ms   target <= %5.0f ms: %s%s\n", name, ms, target_ms, met ? "met" : "NOT MET",
              wrong.c_str());
  std::fflush(stdout);
  all_well = all_well && wrong.empty();
}

// A bare multi-line edit control of the panes' style, given `text`; with
// `copy_out` the time to copy the whole text out again instead.
double edit_control_alone(const std::string& text, bool copy_out = false) {
  HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                  ES_AUTOHSCROLL,
                              0, 0, 600, 400, app.mainWindow, nullptr, GetModuleHandleA(nullptr), nullptr);
  SendMessageA(edit, WM_SETFONT, SendMessageA(app.sourcePane, WM_GETFONT, 0, 0), FALSE);
  SendMessageA(edit, EM_SETLIMITTEXT, 0, 0);
  double ms = timed([&] { SetWindowTextA(edit, text.c_str()); });
  if (copy_out) {
    std::string copy(text.size() + 1, '\0');
    ms = timed([&] { GetWindowTextA(edit, copy.data(), static_cast<int>(copy.size())); });
  }
  DestroyWindow(edit);
  return ms;
}

// Dispatches one message at a time, as the message loop does, until `done`
// holds after one.
template <typename Done>
void dispatch_until(Done done) {
  MSG message;
  while (!done()) {
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      Sleep(0);
      continue;
    }
    dispatch_message(message);
  }
}

double redraw_after(HWND window, WPARAM key) {
  return timed([&] {
    SendMessageA(window, WM_KEYDOWN, key, 1);
    SendMessageA(window, WM_CHAR, key, 1);
    UpdateWindow(window);
  });
}

// `instructions` of the board's shortest length, round and round until
// the step limit: the densest run the view meets, ten million steps.
std::string looping_program(unsigned instructions) {
  std::string text = "START: 0x1, 50ns\r\n";
  for (unsigned i = 1; i + 1 < instructions; ++i) text += "0x" + std::to_string(i % 4) + ", 50ns\r\n";
  return text + "0x0, 50ns, BRANCH, START\r\n";
}

void benchmark_timing_view(const char* what) {
  std::printf("  the timing view, %s:\n", what);
  double ms = timed([] {
    command(ID_TIMING_VIEW);
    dispatch_until([] { return !timing_view_running(); });
    UpdateWindow(app.timingView);
  });
  print_step("Timing View opened (F5), run shown", ms, kViewShownTargetMs);
  ms = timed([] {
    SendMessageA(app.sourcePane, WM_CHAR, ' ', 1);
    dispatch_until([] { return timing_view_running(); });
    dispatch_until([] { return !timing_view_running(); });
    UpdateWindow(app.timingView);
  });
  print_step("Timing View after the last key, run shown", ms, kViewShownTargetMs);
  print_step("Timing View zoom in (+), redrawn", redraw_after(app.timingView, '+'), kViewZoomTargetMs);
  print_step("Timing View zoom out (-), redrawn", redraw_after(app.timingView, '-'), kViewZoomTargetMs);
  print_step("Timing View whole run (Home), redrawn", redraw_after(app.timingView, VK_HOME), kViewZoomTargetMs);
  // An output's previous edge from the run's end: the search walks the run
  // from its start, the longest it walks.
  RECT client{};
  GetClientRect(app.timingView, &client);
  SendMessageA(app.timingView, WM_MOUSEMOVE, 0, MAKELPARAM(client.right - 30, 100));
  print_step("Timing View previous edge (Left), redrawn", redraw_after(app.timingView, VK_LEFT), kViewShownTargetMs);
  DestroyWindow(app.timingView);
  SendMessageA(app.sourcePane, WM_CHAR, VK_BACK, 1);  // the text as it was
}

void benchmark(unsigned instructions, const std::string& folder) {
  const bool small = instructions <= kBoardDefaultSize;
  const double step_target = small ? kSmallStepTargetMs : kLargeStepTargetMs;
  const double caret_target = small ? kCaretTargetMs : kLargeStepTargetMs;

  const std::string pane_text = with_crlf_line_ends(generate_program(instructions));
  const std::string path = folder + "\\program" + std::to_string(instructions) + ".cdm";
  write_file(path, pane_text);
  std::size_t lines = 0;
  for (char c : pane_text) lines += c == '\n';
  std::printf("cdmgui, %u instructions (%zu lines, %.2f MB):\n", instructions, lines, pane_text.size() / 1e6);

  // The reports a Load must show, made without the window; how long the
  // interpreter takes of a Load.
  std::string reports[2];
  double interpreter_ms[2];
  for (bool debug : {false, true}) {
    std::ostringstream report;
    InterpreterOptions options;
    options.listing = debug;
    options.board = &library_board();
    interpreter_ms[debug] = timed([&] { run_interpreter(ProgramSource::from_file(path.c_str()), options, report); });
    reports[debug] = with_crlf_line_ends(report.str());
  }

  create_main_window(GetModuleHandleA(nullptr), "", SW_SHOWNOACTIVATE);
  SetWindowTextA(app.frequencyBox, "100");
  settle();

  chosen_file = path;
  double ms = timed([] { command(ID_FILE_OPEN); });
  print_step("Open (source pane filled)", ms, step_target, window_text(app.sourcePane), pane_text);

  const WPARAM end = pane_text.size();
  SendMessageA(app.sourcePane, EM_SETSEL, end, end);
  SendMessageA(app.sourcePane, EM_SCROLLCARET, 0, 0);
  settle();  // the pane's scrolling and repainting belong to moving the caret
  ms = timed([] { SendMessageA(app.sourcePane, WM_KEYUP, VK_END, 0xC0000001); });
  const std::string expected_label = "Line " + std::to_string(lines + 1) + ", Column 1";
  print_step("caret label after a key release at the end", ms, caret_target, window_text(app.positionLabel),
             expected_label);

  for (bool debug : {true, false}) {
    if (app.showDebug != debug) command(ID_SHOW_DEBUG);
    ms = timed([] { command(ID_BOARD_LOAD); });
    print_step(debug ? "Load, Show Debug Information on" : "Load, Show Debug Information off", ms, step_target,
               window_text(app.outputPane), reports[debug]);
  }

  if (small) benchmark_timing_view("this program");

  DeleteFileA(path.c_str());
  ms = timed([] { command(ID_FILE_SAVE); });
  print_step("Save (to the opened file)", ms, step_target, read_file(path), pane_text);

  if (small) {
    SetWindowTextA(app.sourcePane, looping_program(instructions).c_str());
    benchmark_timing_view("a loop of 5-cycle instructions up to the step limit");
  }

  std::printf("  run_interpreter alone, on the same file:\n");
  std::printf("  %-46s %9.1f ms\n", "Show Debug Information on", interpreter_ms[1]);
  std::printf("  %-46s %9.1f ms\n", "Show Debug Information off", interpreter_ms[0]);
  std::printf("  Wine's edit control alone, given the same text:\n");
  std::printf("  %-46s %9.1f ms\n", "the source", edit_control_alone(pane_text));
  std::printf("  %-46s %9.1f ms\n", "copying the whole source out of it", edit_control_alone(pane_text, true));
  std::printf("  %-46s %9.1f ms\n", "the report with Show Debug Information on", edit_control_alone(reports[1]));
  std::fflush(stdout);

  app.modified = false;
  DestroyWindow(app.mainWindow);
  UnregisterClassA(kMainWindowClass, GetModuleHandleA(nullptr));
  settle();
  app = AppState{};
  DeleteFileA(path.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: gui_benchmark <instructions>...\n", stderr);
    return 2;
  }
  user_dialogs.message_box = answer_ok;
  user_dialogs.get_open_file_name = choose;
  user_dialogs.get_save_file_name = choose;
  char folder[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, folder);
  for (int i = 1; i < argc; ++i) benchmark(static_cast<unsigned>(std::strtoul(argv[i], nullptr, 10)), folder);
  return all_well ? 0 : 1;
}
