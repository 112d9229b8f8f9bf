// Start-up: the single-instance lock, the random draw of the promotion in
// front, and the first window.
#pragma once

#include <QString>

#include <cstdint>

class frmmain;

namespace modHelp {

// What the process sets up before the application object is made, which
// reads the environment: a scale factor that would leave no window to see
// (zero, not a number, absurdly large) is dropped, and an allocation that
// fails where nothing catches it ends the process with a line on the error
// output and OutOfMemoryExitCode, not a core dump.
void PrepareProcess();
inline constexpr int OutOfMemoryExitCode = 3;
// What the program sets up before its first window: file-size limit, look,
// accessibility.
void PrepareApplication();

// Start-up, in order: refuse a second copy, seed the random generator, run
// the update reminder, show the input window, pick the promotion in front.
// Answers false when this copy must end at once (another copy runs).
bool RunStartup();

// Holds the per-user lock that marks a running copy; the system releases it
// when the process ends in any way. False when another copy holds it.
bool AcquireSingleInstanceLock();
// The user's own runtime folder (emptied when the session ends), or empty
// when there is none that belongs to the user alone.
QString PrivateRuntimeFolder();
// Where that lock lives: in the user's private runtime folder, or nowhere
// (empty) when there is none.
QString SingleInstanceLockPath();
void ReleaseSingleInstanceLockForTesting();

// Makes a write past the user's file-size limit fail with an error, as a full
// disk does, instead of the signal that would end the process.
void SurviveFileSizeLimit();

// Brings one of the input window's two promotions to the front: draws R,
// rounds R x 6 + 1 half to even; 1, 3, 5 the co-brand offer, 2, 4, 6 the
// full-brand offer, 7 leaves the layout as it is. Answers the number drawn.
std::int16_t CoBrand_Randomize(frmmain* input);
extern std::int16_t intCoBrandRandomNumber;
// R x 6 + 1 rounded to the nearest whole number, halves to the even one.
std::int16_t CoBrandNumber(double r);

// The executable's file name without extension: the settings' application name.
QString ExecutableName();

}  // namespace modHelp
