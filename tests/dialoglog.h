// For automated checks of the whole program, in the tests' own build of it
// only: when LUNVEX_DIALOG_LOG names a file, message boxes are written to it
// instead of shown, and answered with OK (or No). Nothing changes when the
// variable is not set.
#pragma once

void InstallDialogLogIfAsked();
