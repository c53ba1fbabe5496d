// Identifiers of cdmgui's resources, menu commands and child controls. The
// numbers are fixed: menus, buttons and tests address everything by them.
#pragma once

#define IDI_APP_ICON 101

// Menu commands.
#define ID_FILE_NEW 100
#define ID_FILE_OPEN 101
#define ID_FILE_SAVE 102
#define ID_FILE_SAVE_AS 103
#define ID_FILE_EXIT 104
#define ID_SHOW_DEBUG 110
#define ID_SAVE_OUTPUT 111
#define ID_CLEAR_OUTPUT 112
#define ID_TIMING_VIEW 113
#define ID_BOARD_LOAD 120
#define ID_BOARD_START 121
#define ID_BOARD_STOP 122
#define ID_HELP_READ_ME 130
#define ID_HELP_ABOUT 131

// Child controls. Both panes carry 1000: only the source pane can report a
// user's edit, since the output pane is read-only. No control has 1001.
#define IDC_SOURCE 1000
#define IDC_OUTPUT 1000
#define IDC_OPEN_BUTTON 1002
#define IDC_SAVE_BUTTON 1003
#define IDC_LOAD_BUTTON 1004
#define IDC_START_BUTTON 1005
#define IDC_STOP_BUTTON 1006
#define IDC_FREQUENCY_LABEL 1007
#define IDC_FREQUENCY_BOX 1008
#define IDC_UNIT_LABEL 1009
#define IDC_POSITION_LABEL 1010
#define IDC_BOARD_LABEL 1011
#define IDC_BOARD_BOX 1012

// The timing view's controls, children of its own window.
#define IDC_TIMING_SCROLL 1020
#define IDC_TIMING_STATUS 1021
#define IDC_TIMING_CHECKS 1022
#define IDC_HORIZON_LABEL 1023
#define IDC_HORIZON_BOX 1024
#define IDC_WAIT_LABEL 1025
#define IDC_WAIT_BOX 1026

// The timing view's menu commands.
#define ID_DIAGRAM_SAVE_SVG 140
#define ID_DIAGRAM_COPY 141
#define ID_DIAGRAM_UNCHANGING 142
#define ID_DIAGRAM_WHOLE_RUN 143

// Position of the "&Interpreter" pop-up in the menu bar; it holds the check
// mark of "Show &Debug Information".
#define INTERPRETER_MENU_POSITION 1
