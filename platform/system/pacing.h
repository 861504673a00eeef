#pragma once
// How long the program's fixed pauses and frame waits last. With the cabinet's own hardware they
// last as written. The virtual cabinet runs its physical times at a scale of its own; chosen at
// start-up, it hands that scale in here so that the program keeps pace with it.

namespace pacing {

// Hands the scale in (1 until then); a negative or non-finite scale counts as 1.
void setScale(double scale);
double scale();
// ms times scale(), rounded; at least 0, at most 2e9.
int scaledMs(double ms);

} // namespace pacing
