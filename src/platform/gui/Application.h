#pragma once
// What the program, its window tests and the screenshot tool set up alike once
// the application object exists: the title and the fonts.

namespace korvane {

// The title "Korvane" (task bar and message boxes); the program ends when the
// main window closes, not when its last window hides. The windows name the
// classic desktop fonts: map them to the closest fonts a Debian desktop has,
// narrow enough that the fixed layouts still fit.
void setUpApplication();

} // namespace korvane
