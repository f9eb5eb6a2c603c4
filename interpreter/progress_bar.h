#pragma once
// The console progress bar that the solver draws after each pass of an iteration.

namespace qv {

// Draws "[" + filled marks ('=' when solidStyle, '-' when not) + blanks up to totalWidth + "]" at
// the start of the line; a negative filled length erases a bar of totalWidth. Written straight to
// standard output, not through the pending reply, under the output lock so that it never splits a
// reply line. The caller decides whether the progress-bar switch lets it draw at all.
void drawProgressBar(int filledLength, bool solidStyle, int totalWidth);

// A bar spans one cycle of info-frequency iterations, one mark per iteration up to this many
// marks; a longer cycle lets each mark stand for several iterations, so that a frequency of
// millions still draws a bar that fits a console line (a departure from a mark per iteration).
constexpr int kMaxProgressMarks = 100;
int progressBarWidth(int cycle);
// The marks for `done` (1..cycle) iterations of the cycle, rounded up: the last one fills the bar.
int progressBarMarks(int done, int cycle);

}  // namespace qv
