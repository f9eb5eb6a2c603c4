#pragma once
// The console progress bar that the solver draws after each pass of an iteration.

namespace qv {

// With the progress-bar switch on: a negative filled length erases a bar of totalWidth;
// otherwise draws "[" + filled marks ('=' when solidStyle, '-' when not) + blanks up to
// totalWidth + "]" at the start of the line. Written straight to standard output, not through
// the pending reply, under the output lock so that it never splits a reply line.
void drawProgressBar(int filledLength, bool solidStyle, int totalWidth);

}  // namespace qv
