// The program icon, drawn at several sizes and read only when wanted.
#pragma once

#include <QIcon>

// Gives every window the program icon, unless they have it already.
void InstallProgramIcon();
// The program icon, at every size drawn.
QIcon ProgramIcon();
