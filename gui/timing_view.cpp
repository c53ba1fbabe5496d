#include "timing_view.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "app_state.h"
#include "board_commands.h"
#include "diagram_export.h"
#include "diagram_layout.h"
#include "edge_search.h"
#include "layout_caret.h"
#include "resource_ids.h"
#include "time_text.h"
#include "timing_paint.h"
#include "timing_texts.h"
#include "timing_worker.h"
#include "user_dialogs.h"
#include "window_text.h"

namespace {

constexpr char kViewClass[] = "CadmoraTimingView";
constexpr char kViewTitle[] = "Timing View";
constexpr char kSvgFilter[] = "SVG Pictures (*.svg)\0*.svg\0All Files (*.*)\0*.*\0";
constexpr UINT kResultMessage = WM_APP + 1;
constexpr UINT_PTR kRerunTimer = 1;
constexpr UINT kRerunDelayMs = 80;  // typing has stopped
constexpr double kRightMargin = 24;
constexpr int kStatusHeight = 20;
constexpr int kSettingsHeight = 26;
constexpr int kScrollUnits = 10000;
constexpr double kZoomStep = 0.8;  // one wheel notch or key: the span shrinks to this share
constexpr int kDragThreshold = 3;  // pixels a press may move and still be a click
constexpr COLORREF kPointerColour = RGB(0xd0, 0x30, 0x30);
constexpr COLORREF kCursorAColour = RGB(0x1f, 0x6f, 0xd0);
constexpr COLORREF kCursorBColour = RGB(0x2a, 0x9d, 0x3a);

enum class Cursor { A, B };

// Everything the open view holds; made with its window, gone with it.
struct View {
  HWND window = nullptr;
  HWND scroll = nullptr;
  HWND status = nullptr;
  HWND horizon = nullptr;
  HWND wait = nullptr;
  HWND checks = nullptr;
  std::unique_ptr<TimingResult> result;
  DiagramView span;
  DiagramModel model;
  bool model_current = false;
  std::uint64_t requested = 0;  // the newest request's number
  bool waiting = false;
  // The next result is of another document: it is shown whole.
  RerunCause pending_cause = RerunCause::Document;
  MeasuringCursors cursors;
  Cursor moving = Cursor::A;  // the one the edge keys move: the last placed
  int mouse_x = -1;           // -1 while the mouse is elsewhere
  int mouse_y = -1;
  bool tracking = false;  // the mouse's leaving will be told
  bool pressed = false;
  bool dragged = false;
  int press_x = 0;
  std::uint64_t press_from = 0;
};

View* view = nullptr;
std::uint64_t request_count = 0;

TimingWorker& worker() {
  static TimingWorker the_worker;
  return the_worker;
}

// The part of the client area the diagram takes; the scroll bar, the status
// line, the settings row and the checks list lie below it, in that order.
struct ViewLayout {
  int width;
  int diagram_height;
  int scroll_height;
  int checks_height;
  int status_top() const { return diagram_height + scroll_height; }
  int settings_top() const { return status_top() + kStatusHeight; }
  int checks_top() const { return settings_top() + kSettingsHeight; }
  RECT diagram() const { return {0, 0, width, diagram_height}; }
};

ViewLayout view_layout() {
  RECT client{};
  GetClientRect(view->window, &client);
  const int width = client.right;
  const int height = client.bottom;
  const int checks_height = std::max(60, height / 5);
  const int scroll_height = GetSystemMetrics(SM_CYHSCROLL);
  const int diagram_height = std::max(0, height - checks_height - kStatusHeight - kSettingsHeight - scroll_height);
  return {width, diagram_height, scroll_height, checks_height};
}

PlotArea plot_area() {
  PlotArea plot;
  plot.width = std::max(16.0, view_layout().width - plot.left - kRightMargin);
  return plot;
}

bool has_run() { return view->result && view->result->compiled; }

const DiagramModel& current_model() {
  if (!view->model_current && has_run()) {
    const TimingResult& result = *view->result;
    view->model = result.record.model(view->span, plot_area(), result.clock_mhz, &result.labels);
    if (app.timingShowsUnchanging) add_unchanging_traces(view->model, result.labels);
    view->model_current = true;
  }
  return view->model;
}

DiagramRows diagram_rows() {
  if (!has_run()) return share_height(view_layout().diagram_height, 0, 0);
  const DiagramModel& model = current_model();
  return share_height(view_layout().diagram_height, model.lanes.size(), model.traces.size());
}

std::string program_name() {
  if (app.fileName.empty()) return "untitled";
  return app.fileName.substr(app.fileName.find_last_of("\\/") + 1);
}

std::string diagram_title() {
  if (!view->result) return "Running...";
  if (!view->result->compiled) return program_name() + " does not compile: see the first error below.";
  const TimingResult& result = *view->result;
  return run_title(program_name(), result.clock_mhz, result.steps, result.reason, result.record.total_cycles());
}

void set_status(const std::string& text) {
  if (window_text(view->status) != text) SetWindowTextA(view->status, text.c_str());
}

void redraw_diagram() {
  const RECT diagram = view_layout().diagram();
  InvalidateRect(view->window, &diagram, FALSE);
}

void update_scroll_bar() {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
  info.nMin = 0;
  info.nMax = kScrollUnits - 1;
  const double total = static_cast<double>(view->span.total);
  info.nPage =
      static_cast<UINT>(std::max(1.0, std::round(static_cast<double>(view->span.span()) / total * kScrollUnits)));
  info.nPos = static_cast<int>(std::round(static_cast<double>(view->span.from) / total * kScrollUnits));
  SetScrollInfo(view->scroll, SB_CTL, &info, TRUE);
}

// The span changed: a new model, a new picture, the scroll bar in step.
void span_changed() {
  view->model_current = false;
  update_scroll_bar();
  redraw_diagram();
}

std::uint64_t cycle_under(int x) {
  const PlotArea plot = plot_area();
  return view->span.cycle_at(x - plot.left, plot.width);
}

// The status line for the mouse at `x`: the cycle and its time, the outputs,
// the instruction and its source line, and how many changes a dense column
// holds.
std::string status_at(int x) {
  const std::uint64_t cycle = cycle_under(x);
  const TimingResult& result = *view->result;
  std::string text = "cycle " + std::to_string(cycle) + " (" + time_text(cycle_time_ns(cycle, result.clock_mhz)) + ")";
  const auto entry = result.record.entry_at(cycle);
  if (!entry) return text + ": before the first instruction";
  char outputs[16];
  std::snprintf(outputs, sizeof outputs, "0x%06X", static_cast<unsigned>(entry->outputs));
  text += ": outputs " + std::string(outputs) + ", address " + std::to_string(entry->address);
  if (const unsigned line = result.line_of(entry->address)) text += ", line " + std::to_string(line);
  const DiagramColumn* column = current_model().column_at(x);
  if (column != nullptr && column->bin.changes > 1)
    text += "; " + std::to_string(column->bin.changes) + " changes in this column";
  return text;
}

// Over the plot of a run.
bool in_plot(int x) {
  if (!has_run()) return false;
  const PlotArea plot = plot_area();
  return x >= plot.left && x <= plot.left + plot.width;
}

// The output whose row is at `y`, for a pointer over the plot.
std::optional<int> output_at(int x, int y) {
  if (!in_plot(x)) return std::nullopt;
  const DiagramModel& model = current_model();
  const auto row = row_at(diagram_rows(), model.traces.size(), y);
  if (!row) return std::nullopt;
  return model.traces[*row].bit;
}

void show_default_status() {
  if (!view->result) return set_status("Running...");
  if (!view->result->compiled) return set_status(view->result->findings.front().text);
  const double clock_mhz = view->result->clock_mhz;
  const std::string cursors = cursors_text(view->cursors, clock_mhz);
  if (!cursors.empty()) return set_status(cursors);
  const std::uint64_t cycles = view->result->record.total_cycles();
  set_status("A run of " + time_text(cycle_time_ns(cycles, clock_mhz)) + " (" + std::to_string(cycles) +
             " cycles). Click: cursor A; Shift+click: B; Left, Right: to an edge of the output pointed at; "
             "wheel, +/-: zoom; Home: whole run.");
}

void show_findings() {
  HWND list = view->checks;
  const auto& findings = view->result->findings;
  // Thousands of findings are common (every time that is not a whole number
  // of cycles has one): the list is filled unseen and shown once.
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  SendMessageA(list, LB_INITSTORAGE, findings.size(), findings.size() * 96);
  if (findings.empty()) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("No warnings."));
  // Unsorted, so an item's index is its finding's.
  for (const TimingFinding& finding : findings)
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(finding.text.c_str()));
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

void request_run(RerunCause cause) {
  KillTimer(view->window, kRerunTimer);
  if (cause == RerunCause::Document) view->pending_cause = RerunCause::Document;
  view->requested = ++request_count;
  view->waiting = true;
  worker().request(view->window, kResultMessage, view->requested, window_text(app.sourcePane), frequency_box_clock(),
                   app.timingSettings);
}

// Another document: nothing of the last one's run stays on show while the
// new one runs.
void forget_run() {
  view->result.reset();
  view->cursors = {};
  view->model_current = false;
  SendMessageA(view->checks, LB_RESETCONTENT, 0, 0);
  show_default_status();
  redraw_diagram();
}

void zoom(double factor, int x) {
  if (!has_run()) return;
  const PlotArea plot = plot_area();
  const int at = in_plot(x) ? x : static_cast<int>(plot.left + plot.width / 2);
  view->span.zoom(factor, at - plot.left, plot.width);
  span_changed();
}

void show_whole_run() {
  if (!has_run()) return;
  view->span = DiagramView::whole(view->span.total);
  span_changed();
}

void go_to_finding() {
  const LRESULT item = SendMessageA(view->checks, LB_GETCURSEL, 0, 0);
  if (item == LB_ERR || !view->result) return;
  const auto& findings = view->result->findings;
  if (static_cast<std::size_t>(item) >= findings.size()) return;
  const TimingFinding& finding = findings[static_cast<std::size_t>(item)];
  if (finding.line == 0) return;
  select_on_line(finding.line, finding.first_column, finding.last_column);
  SetFocus(app.sourcePane);
}

// Selects the whole source line of the instruction drawn at `x`.
void click_trace(int x) {
  const TimingResult& result = *view->result;
  const auto entry = result.record.entry_at(cycle_under(x));
  if (entry) select_on_line(result.line_of(entry->address), 1, UINT_MAX);
}

std::optional<std::uint64_t>& cursor(Cursor which) { return which == Cursor::A ? view->cursors.a : view->cursors.b; }

void place_cursor(Cursor which, std::uint64_t cycle) {
  cursor(which) = cycle;
  view->moving = which;
  set_status(cursors_text(view->cursors, view->result->clock_mhz));
  redraw_diagram();
}

// Left and Right: the cursor last placed (A when none is) goes to the
// previous or next change of the output pointed at, from where it stands or
// else from the pointer; the span follows it when it leaves the span.
void jump_to_edge(EdgeDirection direction) {
  const auto bit = output_at(view->mouse_x, view->mouse_y);
  if (!bit) return set_status("Point at an output's row to move a cursor along its edges.");
  const std::uint64_t from = cursor(view->moving).value_or(cycle_under(view->mouse_x));
  const auto edge = find_edge(view->result->record, *bit, from, direction);
  const std::string label = view->result->labels.label(*bit);
  if (!edge) return set_status(std::string(direction == EdgeDirection::Next ? "No later" : "No earlier") +
                               " change of " + label + ".");
  if (*edge < view->span.from || *edge >= view->span.to) {
    const auto half = static_cast<std::int64_t>(view->span.span() / 2);
    view->span.pan(static_cast<std::int64_t>(*edge) - static_cast<std::int64_t>(view->span.from) - half);
    span_changed();
  }
  place_cursor(view->moving, *edge);
}

// A horizon or WAIT box changed: a time that reads well is kept for the
// session and the program runs again under it; any other text is named in
// the status line and the setting stays as it was.
void setting_changed(int id) {
  const bool horizon = id == IDC_HORIZON_BOX;
  double& setting = horizon ? app.timingSettings.until_ns : app.timingSettings.wait_ns;
  double ns = 0;
  std::string problem;
  if (!read_setting_time(window_text_prefix(horizon ? view->horizon : view->wait, kBoxTextLength), ns, problem))
    return set_status(std::string(horizon ? "Horizon" : "WAIT") + ": " + problem + "; still " + time_text(setting) +
                      ".");
  if (ns == setting) return;
  setting = ns;
  SetTimer(view->window, kRerunTimer, kRerunDelayMs, nullptr);
}

void save_svg() {
  if (!has_run()) return set_status("Nothing to save: the program does not compile.");
  std::string path;
  if (!choose_file(FileDialogKind::Save, kSvgFilter, "svg", path)) return set_status("Diagram not saved.");
  // The shown span, as cdmsim's --from and --until give it; a span reaching
  // the run's end is cut at the horizon, as cdmsim's is.
  const TimingResult& result = *view->result;
  const CycleWindow window{view->span.from, view->span.to == view->span.total
                                                ? first_cycle_at(result.settings.until_ns, result.clock_mhz)
                                                : view->span.to};
  set_status(save_diagram_svg(result, program_name(), window, path));
}

HFONT message_font() {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  static HFONT font = CreateFontIndirectA(&metrics.lfMessageFont);
  return font;
}

// The cursors as lines over the traces, each with its letter.
void paint_cursors(HDC dc, const DiagramRows& rows) {
  const PlotArea plot = plot_area();
  const struct {
    const std::optional<std::uint64_t>& cycle;
    const char* name;
    COLORREF colour;
  } cursors[] = {{view->cursors.a, "A", kCursorAColour}, {view->cursors.b, "B", kCursorBColour}};
  for (const auto& shown : cursors) {
    if (!shown.cycle || *shown.cycle < view->span.from || *shown.cycle > view->span.to) continue;
    const double x = plot.left + view->span.x_of(*shown.cycle, plot.width);
    paint_marker_line(dc, x, kDiagramTitleHeight - 4, rows.axis_top, shown.colour);
    SetTextColor(dc, shown.colour);
    draw_text(dc, x + 3, kDiagramTitleHeight + 6, shown.name, TA_LEFT | TA_BASELINE);
  }
  SetTextColor(dc, RGB(0, 0, 0));
  draw_text(dc, plot.left, rows.axis_top + 34, cursors_text(view->cursors, view->result->clock_mhz),
            TA_LEFT | TA_BASELINE);
}

// The diagram with its cursors, and the line under the mouse `with_pointer`.
void paint_view(HDC dc, const RECT& area, bool with_pointer) {
  SelectObject(dc, message_font());
  const DiagramRows rows = diagram_rows();
  paint_diagram(dc, area, diagram_title(), has_run() ? current_model() : DiagramModel{}, rows);
  if (!has_run()) return;
  if (with_pointer && in_plot(view->mouse_x))
    paint_marker_line(dc, view->mouse_x, kDiagramTitleHeight, rows.axis_top, kPointerColour);
  paint_cursors(dc, rows);
}

void copy_diagram() {
  const ViewLayout layout = view_layout();
  const RECT area = layout.diagram();
  const bool copied = copy_picture(view->window, layout.width, layout.diagram_height, [&area](HDC dc) {
    paint_view(dc, area, false);
  });
  set_status(copied ? "Copied the diagram as a picture." : "The clipboard is in use; nothing was copied.");
}

void toggle_unchanging() {
  app.timingShowsUnchanging = !app.timingShowsUnchanging;
  CheckMenuItem(GetMenu(view->window), ID_DIAGRAM_UNCHANGING,
                MF_BYCOMMAND | (app.timingShowsUnchanging ? MF_CHECKED : MF_UNCHECKED));
  span_changed();
}

HWND make_child(const char* window_class, DWORD style, int id, const char* text = "") {
  HWND child = CreateWindowExA(0, window_class, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 1, 1, view->window,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(message_font()), FALSE);
  return child;
}

HMENU make_menu() {
  HMENU diagram = CreatePopupMenu();
  AppendMenuA(diagram, MF_STRING, ID_DIAGRAM_SAVE_SVG, "Save as &SVG...\tCtrl+S");
  AppendMenuA(diagram, MF_STRING, ID_DIAGRAM_COPY, "&Copy Picture\tCtrl+C");
  AppendMenuA(diagram, MF_STRING | (app.timingShowsUnchanging ? MF_CHECKED : 0), ID_DIAGRAM_UNCHANGING,
              "Show &Unchanging Outputs");
  AppendMenuA(diagram, MF_STRING, ID_DIAGRAM_WHOLE_RUN, "&Whole Run\tHome");
  HMENU bar = CreateMenu();
  AppendMenuA(bar, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(diagram), "&Diagram");
  return bar;
}

LRESULT on_create(HWND window) {
  view->window = window;
  view->scroll = make_child("SCROLLBAR", SBS_HORZ, IDC_TIMING_SCROLL);
  view->status = make_child("STATIC", SS_LEFTNOWORDWRAP | SS_SUNKEN, IDC_TIMING_STATUS);
  make_child("STATIC", SS_RIGHT, IDC_HORIZON_LABEL, "&Horizon:");
  view->horizon = make_child("EDIT", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, IDC_HORIZON_BOX);
  make_child("STATIC", SS_RIGHT, IDC_WAIT_LABEL, "&WAIT:");
  view->wait = make_child("EDIT", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, IDC_WAIT_BOX);
  view->checks = make_child(
      "LISTBOX", WS_VSCROLL | WS_BORDER | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_WANTKEYBOARDINPUT, IDC_TIMING_CHECKS);
  SetWindowTextA(view->horizon, time_text(app.timingSettings.until_ns).c_str());
  SetWindowTextA(view->wait, time_text(app.timingSettings.wait_ns).c_str());
  return 0;
}

LRESULT on_size() {
  const ViewLayout layout = view_layout();
  SetWindowPos(view->scroll, nullptr, 0, layout.diagram_height, layout.width, layout.scroll_height, SWP_NOZORDER);
  SetWindowPos(view->status, nullptr, 0, layout.status_top(), layout.width, kStatusHeight, SWP_NOZORDER);
  const int top = layout.settings_top() + 3;
  const int height = kSettingsHeight - 6;
  SetWindowPos(GetDlgItem(view->window, IDC_HORIZON_LABEL), nullptr, 0, top + 2, 60, height, SWP_NOZORDER);
  SetWindowPos(view->horizon, nullptr, 64, top, 90, height, SWP_NOZORDER);
  SetWindowPos(GetDlgItem(view->window, IDC_WAIT_LABEL), nullptr, 160, top + 2, 50, height, SWP_NOZORDER);
  SetWindowPos(view->wait, nullptr, 214, top, 90, height, SWP_NOZORDER);
  SetWindowPos(view->checks, nullptr, 0, layout.checks_top(), layout.width, layout.checks_height, SWP_NOZORDER);
  span_changed();
  return 0;
}

LRESULT on_paint(HWND window) {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(window, &paint);
  const ViewLayout layout = view_layout();
  // Drawn off screen first, so that the picture never flickers as it zooms.
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, std::max(layout.width, 1), std::max(layout.diagram_height, 1));
  HGDIOBJ old_bitmap = SelectObject(memory, bitmap);
  HGDIOBJ old_font = GetCurrentObject(memory, OBJ_FONT);
  paint_view(memory, layout.diagram(), true);
  BitBlt(dc, 0, 0, layout.width, layout.diagram_height, memory, 0, 0, SRCCOPY);
  const RECT settings_row{0, layout.settings_top(), layout.width, layout.checks_top()};
  FillRect(dc, &settings_row, GetSysColorBrush(COLOR_BTNFACE));
  SelectObject(memory, old_font);
  SelectObject(memory, old_bitmap);
  DeleteObject(bitmap);
  DeleteDC(memory);
  EndPaint(window, &paint);
  return 0;
}

LRESULT on_mouse_move(LPARAM lparam) {
  const int x = static_cast<short>(LOWORD(lparam));
  if (view->pressed && has_run()) {
    const int moved = x - view->press_x;
    if (std::abs(moved) >= kDragThreshold) view->dragged = true;
    if (view->dragged) {
      const double per_pixel = static_cast<double>(view->span.span()) / plot_area().width;
      view->span.from = view->press_from;
      view->span.to = view->press_from + view->span.span();
      view->span.pan(static_cast<std::int64_t>(std::llround(-moved * per_pixel)));
      span_changed();
    }
  }
  if (!view->tracking) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, view->window, 0};
    view->tracking = TrackMouseEvent(&track) != FALSE;
  }
  if (view->mouse_x != x) redraw_diagram();
  view->mouse_x = x;
  view->mouse_y = static_cast<short>(HIWORD(lparam));
  if (in_plot(x)) set_status(status_at(x));
  return 0;
}

// The pointer line goes with the mouse.
LRESULT on_mouse_leave() {
  view->tracking = false;
  view->mouse_x = -1;
  redraw_diagram();
  show_default_status();
  return 0;
}

LRESULT on_button_down(LPARAM lparam) {
  SetFocus(view->window);
  const int x = static_cast<short>(LOWORD(lparam));
  if (!in_plot(x)) return 0;
  view->pressed = true;
  view->dragged = false;
  view->press_x = x;
  view->press_from = view->span.from;
  SetCapture(view->window);
  return 0;
}

// A click (a press that did not drag) places cursor A, or B with Shift; a
// click on a trace also selects its instruction's source line.
LRESULT on_button_up(WPARAM wparam, LPARAM lparam) {
  if (!view->pressed) return 0;
  view->pressed = false;
  ReleaseCapture();
  const int x = static_cast<short>(LOWORD(lparam));
  const int y = static_cast<short>(HIWORD(lparam));
  if (view->dragged || !in_plot(x)) return 0;
  place_cursor((wparam & MK_SHIFT) != 0 ? Cursor::B : Cursor::A, cycle_under(x));
  if (output_at(x, y)) click_trace(x);
  return 0;
}

LRESULT on_mouse_wheel(WPARAM wparam, LPARAM lparam) {
  POINT at{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
  ScreenToClient(view->window, &at);
  const int notches = GET_WHEEL_DELTA_WPARAM(wparam) / WHEEL_DELTA;
  if (notches == 0) return 0;
  zoom(std::pow(kZoomStep, notches), at.x);
  return 0;
}

LRESULT on_scroll(WPARAM wparam) {
  if (!has_run()) return 0;
  const auto span = static_cast<std::int64_t>(view->span.span());
  switch (LOWORD(wparam)) {
    case SB_LINELEFT:
      view->span.pan(-std::max<std::int64_t>(span / 10, 1));
      break;
    case SB_LINERIGHT:
      view->span.pan(std::max<std::int64_t>(span / 10, 1));
      break;
    case SB_PAGELEFT:
      view->span.pan(-span);
      break;
    case SB_PAGERIGHT:
      view->span.pan(span);
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      // The message carries the thumb's position in 16 bits, which the bar's
      // range fits.
      const auto target = static_cast<std::uint64_t>(static_cast<double>(HIWORD(wparam)) / kScrollUnits *
                                                     static_cast<double>(view->span.total));
      view->span.pan(static_cast<std::int64_t>(target) - static_cast<std::int64_t>(view->span.from));
      break;
    }
    default:
      return 0;
  }
  span_changed();
  return 0;
}

LRESULT on_key_down(WPARAM wparam) {
  const bool control = GetKeyState(VK_CONTROL) < 0;
  switch (wparam) {
    case VK_ESCAPE:
      DestroyWindow(view->window);
      break;
    case VK_HOME:
      show_whole_run();
      break;
    case VK_F5:
      request_run(RerunCause::Refresh);
      break;
    case VK_LEFT:
    case VK_RIGHT:
      if (has_run()) jump_to_edge(wparam == VK_RIGHT ? EdgeDirection::Next : EdgeDirection::Previous);
      break;
    case 'S':
      if (control) save_svg();
      break;
    case 'C':
      if (control) copy_diagram();
      break;
    default:
      break;
  }
  return 0;
}

LRESULT on_char(WPARAM wparam) {
  if (wparam == '+' || wparam == '=') zoom(kZoomStep, view->mouse_x);
  if (wparam == '-') zoom(1 / kZoomStep, view->mouse_x);
  return 0;
}

// The checks list's keys: Enter goes to the finding's line, Esc closes the
// view; every other key is the list's own.
LRESULT on_list_key(WPARAM wparam) {
  if (LOWORD(wparam) == VK_RETURN) {
    go_to_finding();
    return -2;
  }
  if (LOWORD(wparam) == VK_ESCAPE) {
    DestroyWindow(view->window);
    return -2;
  }
  return -1;
}

LRESULT on_command(WPARAM wparam) {
  const int id = LOWORD(wparam);
  const int code = HIWORD(wparam);
  switch (id) {
    case IDC_TIMING_CHECKS:
      if (code == LBN_DBLCLK) go_to_finding();
      break;
    case IDC_HORIZON_BOX:
    case IDC_WAIT_BOX:
      if (code == EN_CHANGE) setting_changed(id);
      break;
    case ID_DIAGRAM_SAVE_SVG:
      save_svg();
      break;
    case ID_DIAGRAM_COPY:
      copy_diagram();
      break;
    case ID_DIAGRAM_UNCHANGING:
      toggle_unchanging();
      break;
    case ID_DIAGRAM_WHOLE_RUN:
      show_whole_run();
      break;
    default:
      break;
  }
  return 0;
}

LRESULT on_timer() {
  request_run(RerunCause::Refresh);
  return 0;
}

LRESULT on_result(WPARAM wparam) {
  std::unique_ptr<TimingResult> result = worker().take(static_cast<std::uint64_t>(wparam));
  if (!result) return 0;
  view->waiting = false;
  view->result = std::move(result);
  const std::uint64_t total_before = view->span.total;
  if (view->result->compiled)
    view->span = span_after_run(view->span, view->result->record.total_cycles(), view->pending_cause);
  // The cursors stay where they were only on a run as long as the last.
  if (view->pending_cause == RerunCause::Document || view->span.total != total_before) view->cursors = {};
  view->pending_cause = RerunCause::Refresh;
  show_findings();
  show_default_status();
  span_changed();
  if (in_plot(view->mouse_x)) set_status(status_at(view->mouse_x));
  return 0;
}

LRESULT on_destroy(HWND window) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (GetWindowPlacement(window, &placement)) app.timingViewPlace = placement.rcNormalPosition;
  app.timingView = nullptr;
  return 0;
}

LRESULT on_nc_destroy(HWND window, WPARAM wparam, LPARAM lparam) {
  delete view;
  view = nullptr;
  return DefWindowProcA(window, WM_NCDESTROY, wparam, lparam);
}

LRESULT CALLBACK view_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      return on_create(window);
    case WM_SIZE:
      return on_size();
    case WM_PAINT:
      return on_paint(window);
    case WM_ERASEBKGND:
      return 1;  // the diagram is painted whole; the children paint the rest
    case WM_MOUSEMOVE:
      return on_mouse_move(lparam);
    case WM_MOUSELEAVE:
      return on_mouse_leave();
    case WM_LBUTTONDOWN:
      return on_button_down(lparam);
    case WM_LBUTTONUP:
      return on_button_up(wparam, lparam);
    case WM_MOUSEWHEEL:
      return on_mouse_wheel(wparam, lparam);
    case WM_HSCROLL:
      return on_scroll(wparam);
    case WM_KEYDOWN:
      return on_key_down(wparam);
    case WM_CHAR:
      return on_char(wparam);
    case WM_VKEYTOITEM:
      return on_list_key(wparam);
    case WM_COMMAND:
      return on_command(wparam);
    case WM_TIMER:
      return on_timer();
    case kResultMessage:
      return on_result(wparam);
    case WM_DESTROY:
      return on_destroy(window);
    case WM_NCDESTROY:
      return on_nc_destroy(window, wparam, lparam);
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

bool register_view_class() {
  WNDCLASSEXA window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = view_proc;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  window_class.lpszClassName = kViewClass;
  return RegisterClassExA(&window_class) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool open_view() {
  if (!register_view_class()) return false;
  const RECT& place = app.timingViewPlace;
  const bool placed = !IsRectEmpty(&place);
  view = new View;
  HWND window = CreateWindowExA(0, kViewClass, kViewTitle, WS_OVERLAPPEDWINDOW, placed ? place.left : CW_USEDEFAULT,
                                placed ? place.top : CW_USEDEFAULT, placed ? place.right - place.left : 900,
                                placed ? place.bottom - place.top : 680, app.mainWindow, make_menu(),
                                GetModuleHandleA(nullptr), nullptr);
  if (window == nullptr) {
    delete view;
    view = nullptr;
    return false;
  }
  app.timingView = window;
  on_size();
  ShowWindow(window, SW_SHOW);
  return true;
}

}  // namespace

void show_timing_view() {
  const bool opened = view == nullptr;
  if (opened && !open_view()) return;
  request_run(opened ? RerunCause::Document : RerunCause::Refresh);
  show_default_status();
}

void timing_view_source_changed() {
  if (view == nullptr) return;
  SetTimer(view->window, kRerunTimer, kRerunDelayMs, nullptr);
}

void timing_view_document_changed() {
  if (view == nullptr) return;
  forget_run();
  request_run(RerunCause::Document);
}

bool timing_view_running() { return view != nullptr && (view->waiting || view->requested == 0); }
