#include "timing_view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "app_state.h"
#include "board_commands.h"
#include "layout_caret.h"
#include "resource_ids.h"
#include "time_text.h"
#include "timing_paint.h"
#include "timing_worker.h"
#include "window_text.h"

namespace {

constexpr char kViewClass[] = "CadmoraTimingView";
constexpr char kViewTitle[] = "Timing View";
constexpr UINT kResultMessage = WM_APP + 1;
constexpr UINT_PTR kRerunTimer = 1;
constexpr UINT kRerunDelayMs = 80;  // typing has stopped
constexpr double kRightMargin = 24;
constexpr int kStatusHeight = 20;
constexpr int kScrollUnits = 10000;
constexpr double kZoomStep = 0.8;  // one wheel notch or key: the span shrinks to this share
constexpr int kDragThreshold = 3;  // pixels a press may move and still be a click

// Everything the open view holds; made with its window, gone with it.
struct View {
  HWND window = nullptr;
  HWND scroll = nullptr;
  HWND status = nullptr;
  HWND checks = nullptr;
  std::unique_ptr<TimingResult> result;
  DiagramView span;
  DiagramModel model;
  bool model_current = false;
  std::uint64_t requested = 0;  // the newest request's number
  bool waiting = false;
  int mouse_x = -1;       // -1 while the mouse is elsewhere
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
// line and the checks list lie below it, in that order.
struct ViewLayout {
  int width;
  int diagram_height;
  int scroll_height;
  int checks_height;
  int status_top() const { return diagram_height + scroll_height; }
  int checks_top() const { return status_top() + kStatusHeight; }
  RECT diagram() const { return {0, 0, width, diagram_height}; }
};

ViewLayout view_layout() {
  RECT client{};
  GetClientRect(view->window, &client);
  const int width = client.right;
  const int height = client.bottom;
  const int checks_height = std::max(60, height / 4);
  const int scroll_height = GetSystemMetrics(SM_CYHSCROLL);
  const int diagram_height = std::max(0, height - checks_height - kStatusHeight - scroll_height);
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
    view->model = view->result->record.model(view->span, plot_area(), view->result->clock_mhz);
    view->model_current = true;
  }
  return view->model;
}

std::string program_name() {
  if (app.fileName.empty()) return "untitled";
  return app.fileName.substr(app.fileName.find_last_of("\\/") + 1);
}

std::string diagram_title() {
  if (!view->result) return "Running...";
  if (!view->result->compiled) return program_name() + " does not compile: see the first error below.";
  return program_name() + " at " + short_number(view->result->clock_mhz, 6) + " MHz: " + view->result->summary;
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

// The status line for the mouse at `x`: the cycle and its time, the outputs,
// the instruction and its source line, and how many changes a dense column
// holds.
std::string status_at(int x) {
  const PlotArea plot = plot_area();
  const std::uint64_t cycle = view->span.cycle_at(x - plot.left, plot.width);
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

bool on_traces(int x, int y) {
  if (!in_plot(x)) return false;
  const DiagramModel& model = current_model();
  return y >= model.plot_top && y < model.axis_top;
}

void show_default_status() {
  if (!view->result) return set_status("Running...");
  if (!view->result->compiled) return set_status(view->result->findings.front().text);
  set_status("Point at the diagram to read the outputs; wheel or +/- zooms, Home shows the whole run.");
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

void request_run() {
  KillTimer(view->window, kRerunTimer);
  view->requested = ++request_count;
  view->waiting = true;
  worker().request(view->window, kResultMessage, view->requested, window_text(app.sourcePane), frequency_box_clock());
}

// The zoom stays where it was when the new run is long enough for it;
// a view of the whole run shows the whole new run.
DiagramView span_for(const DiagramView& old, std::uint64_t total) {
  const DiagramView whole = DiagramView::whole(total);
  const bool was_whole = old.from == 0 && old.to == old.total;
  if (was_whole || old.to > whole.total) return whole;
  return {whole.total, old.from, old.to};
}

void zoom(double factor, int x) {
  if (!has_run()) return;
  const PlotArea plot = plot_area();
  const int at = in_plot(x) ? x : static_cast<int>(plot.left + plot.width / 2);
  view->span.zoom(factor, at - plot.left, plot.width);
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

void click_trace(int x) {
  const PlotArea plot = plot_area();
  const TimingResult& result = *view->result;
  const auto entry = result.record.entry_at(view->span.cycle_at(x - plot.left, plot.width));
  if (entry) place_caret_on_line(result.line_of(entry->address));
}

HFONT message_font() {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  static HFONT font = CreateFontIndirectA(&metrics.lfMessageFont);
  return font;
}

HWND make_child(const char* window_class, DWORD style, int id) {
  HWND child = CreateWindowExA(0, window_class, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 1, 1, view->window,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(message_font()), FALSE);
  return child;
}

LRESULT on_create(HWND window) {
  view->window = window;
  view->scroll = make_child("SCROLLBAR", SBS_HORZ, IDC_TIMING_SCROLL);
  view->status = make_child("STATIC", SS_LEFTNOWORDWRAP | SS_SUNKEN, IDC_TIMING_STATUS);
  view->checks = make_child(
      "LISTBOX", WS_VSCROLL | WS_BORDER | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_WANTKEYBOARDINPUT, IDC_TIMING_CHECKS);
  return 0;
}

LRESULT on_size() {
  const ViewLayout layout = view_layout();
  SetWindowPos(view->scroll, nullptr, 0, layout.diagram_height, layout.width, layout.scroll_height, SWP_NOZORDER);
  SetWindowPos(view->status, nullptr, 0, layout.status_top(), layout.width, kStatusHeight, SWP_NOZORDER);
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
  HGDIOBJ old_font = SelectObject(memory, message_font());
  paint_diagram(memory, layout.diagram(), diagram_title(), has_run() ? current_model() : DiagramModel{});
  if (in_plot(view->mouse_x)) {
    SelectObject(memory, GetStockObject(DC_PEN));
    SetDCPenColor(memory, RGB(0xd0, 0x30, 0x30));
    MoveToEx(memory, view->mouse_x, kDiagramTitleHeight, nullptr);
    LineTo(memory, view->mouse_x, static_cast<int>(current_model().axis_top));
  }
  BitBlt(dc, 0, 0, layout.width, layout.diagram_height, memory, 0, 0, SRCCOPY);
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
  if (in_plot(x)) set_status(status_at(x));
  return 0;
}

// The cursor line goes with the mouse.
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

LRESULT on_button_up(LPARAM lparam) {
  if (!view->pressed) return 0;
  view->pressed = false;
  ReleaseCapture();
  const int x = static_cast<short>(LOWORD(lparam));
  const int y = static_cast<short>(HIWORD(lparam));
  if (!view->dragged && on_traces(x, y)) click_trace(x);
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
  if (wparam == VK_ESCAPE) DestroyWindow(view->window);
  if (wparam == VK_HOME && has_run()) {
    view->span = DiagramView::whole(view->span.total);
    span_changed();
  }
  if (wparam == VK_F5) request_run();
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
  if (LOWORD(wparam) == IDC_TIMING_CHECKS && HIWORD(wparam) == LBN_DBLCLK) go_to_finding();
  return 0;
}

LRESULT on_timer() {
  request_run();
  return 0;
}

LRESULT on_result(WPARAM wparam) {
  std::unique_ptr<TimingResult> result = worker().take(static_cast<std::uint64_t>(wparam));
  if (!result) return 0;
  view->waiting = false;
  view->result = std::move(result);
  if (view->result->compiled) view->span = span_for(view->span, view->result->record.total_cycles());
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
      return on_button_up(lparam);
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
                                placed ? place.bottom - place.top : 680, app.mainWindow, nullptr,
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
  if (view == nullptr && !open_view()) return;
  request_run();
  show_default_status();
}

void timing_view_source_changed() {
  if (view == nullptr) return;
  SetTimer(view->window, kRerunTimer, kRerunDelayMs, nullptr);
}

bool timing_view_running() { return view != nullptr && (view->waiting || view->requested == 0); }
