#pragma once
// Creates every window of the program once, main window first, in the order the
// program has always used; windows are shown and hidden, never destroyed, until
// the program ends.
void CreateWindows();
// Destroys them at the end of the program (tests call it between cases too).
void DestroyWindows();
