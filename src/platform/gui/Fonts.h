#pragma once
// The windows name the classic desktop fonts; map them to the closest fonts
// a Debian desktop has, narrow enough that the fixed layouts still fit.

namespace korvane {

void setUpFonts();

} // namespace korvane
