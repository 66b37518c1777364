#pragma once
// The tablet reader: the latest pen sample of a graphics tablet, with pressure normalised to 0..1, for the
// smoothing strokes that scale their strength by pen pressure. On a machine without the tablet interface
// library every entry point is inert: readPenSample returns false and no pressure factor is applied.

#include <cstdint>

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

// --- What the reader is made of (for tests and diagnostics) ------------------------------------------------

// One packet as the tablet interface hands it over: the fields the reader asks for (every field of the
// standard packet but the serial number), 32 bits each, in this order.
struct TabletPacket {
    std::uint32_t context, status, time, changed, cursor, buttons;
    std::int32_t x, y, z;
    std::uint32_t normalPressure, tangentPressure;
    std::int32_t azimuth, altitude, twist;  // orientation
    std::int32_t pitch, roll, yaw;          // rotation
};

// The scale factors of one open tablet context.
struct TabletScale {
    float aspect = 1;                      // output extent y / x
    float invExtentX = 0, invExtentY = 0;  // 1 / output extent
    float zFactor = 0;
    float screenX = 0, screenY = 0;  // virtual screen size / output extent
    float pressure = 0;              // 1 / maximum of the normal-pressure axis
    float tangent = 0;               // 1 / maximum of the tangent-pressure axis
    float orientation = 0;
};

// 1 / the maximum of a device axis; 0 for an axis the device does not report (maximum 0 or less).
float tabletAxisFactor(long maximum);

// The pen sample of a packet read from context `contextIndex`: positions and pressures times the context's
// factors (pressure read unsigned, so the maximum gives 1 and half of it 0.5), flags bit 0 cleared.
PenSample penSampleFromPacket(const TabletPacket& packet, const TabletScale& scale, int contextIndex,
                              int physicalCursorId);

// How binding the tablet interface library went: 0 bound, 1 the library is missing, 2 a function of it is
// missing. The reader is made (and the library looked up) on first use.
int tabletLibraryState();
