// The timing view: a window owned by the main one that runs the source
// pane's text without a board and shows the run as the timing diagram
// cdmsim draws, with the timing checks' findings beneath it, under a horizon
// and WAIT time set in the view. It zooms and pans, reads out the outputs
// under the mouse, measures between two cursors, saves the diagram as
// cdmsim's SVG or copies it as a picture, and leads from a trace or a
// finding to its source line. It never calls the board library.
#pragma once

#include <windows.h>

// Opens the view, or brings it forward, and runs the source pane's text at
// the frequency box's clock.
void show_timing_view();

// The source pane changed: an open view runs it again a moment after the
// typing stops.
void timing_view_source_changed();

// Another document (File > Open, File > New) or another clock: an open view
// drops what it showed and shows the new run whole.
void timing_view_document_changed();

// True while the view waits for a run it asked for.
bool timing_view_running();
