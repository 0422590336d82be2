#pragma once
// Sets up the application object: its name "Pelmor", and no display name, so that
// the window system shows every caption exactly as the window gives it (a display
// name would be appended to each title as " — Pelmor"). The program ends only when
// the main window is closed, not when the last window is hidden.
void SetUpApplication();

// Creates every window of the program once, main window first, in the order the
// program has always used; windows are shown and hidden, never destroyed, until
// the program ends.
void CreateWindows();
// Destroys them at the end of the program (tests call it between cases too).
void DestroyWindows();
