#pragma once
// The tablet reader: the latest pen sample of a graphics tablet, with pressure normalised to 0..1, for the
// smoothing strokes that scale their strength by pen pressure. On a machine without the tablet interface
// library every entry point is inert: readPenSample returns false and no pressure factor is applied.

// One pen sample.
struct PenSample {
    float x = 0, y = 0, z = 0;  // 0..1 across the tablet's output extent
    float pressure = 0;         // normal pressure, 0..1
    float tangentPressure = 0;  // 0..1
    int physicalCursorId = 0;
    unsigned buttons = 0;
    int cursorIndex = 0;
    int contextIndex = 0;
    unsigned flags = 0;  // bit 0 cleared on every new sample
};

// The newest sample of one tablet context (-1: all contexts in turn); true when a changed packet was read.
bool readPenSample(PenSample& sample, int context = -1);
