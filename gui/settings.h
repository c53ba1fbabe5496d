// The settings file interpreter.cfg in the installation folder, read at
// start-up and written by a completed exit.
#pragma once

// Fills the frequency box and the debug option from interpreter.cfg in
// app.settingsFolder (defaults when there is none), then sets the board
// number box to "0".
void read_settings();

// Settles unsaved changes, writes the settings and ends the message loop;
// does nothing more when the user cancels.
void exit_application();
