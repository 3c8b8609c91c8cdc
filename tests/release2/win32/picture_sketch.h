// Sketches for the picture tests, built where no Windows header is seen (the engine's
// object headers and the system's drawing functions share names).
#pragma once

struct Sketch;

// A new current sketch (the previous one kept for EndPictureSketch) holding one black
// segment, selected, from (x1, y1) to (x2, y2) between two hidden points.
Sketch* BeginSegmentSketch(double x1, double y1, double x2, double y2);
void EndPictureSketch(Sketch* sketch);
