// For automated checks of the whole program, in the tests' own build of it
// only: when LUNVEX_DIALOG_LOG names a file, message boxes are written to it
// instead of shown, and answered with OK (or No). Nothing changes when the
// variable is not set. When LUNVEX_WINDOW_LOG names a file, each window shown
// is written to it: its class, the milliseconds since the start and its
// device pixel ratio, a tab between each.
#pragma once

void InstallDialogLogIfAsked();
