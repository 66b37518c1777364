#include "brushes/tablet.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// A context handle of the tablet interface.
typedef struct HCTX__* HCTX;

// The interface's functions the reader binds, by their exported names.
typedef UINT(WINAPI* WTInfoAFn)(UINT category, UINT index, LPVOID output);
typedef HCTX(WINAPI* WTOpenAFn)(HWND window, LPVOID logContext, BOOL enable);
typedef BOOL(WINAPI* WTGetAFn)(HCTX context, LPVOID logContext);
typedef BOOL(WINAPI* WTSetAFn)(HCTX context, LPVOID logContext);
typedef BOOL(WINAPI* WTPacketFn)(HCTX context, UINT serial, LPVOID packet);
typedef int(WINAPI* WTPacketsGetFn)(HCTX context, int maxPackets, LPVOID packets);
typedef BOOL(WINAPI* WTQueuePacketsExFn)(HCTX context, UINT* oldest, UINT* newest);
typedef BOOL(WINAPI* WTCloseFn)(HCTX context);
typedef BOOL(WINAPI* WTOverlapFn)(HCTX context, BOOL toTop);

const int kMaxContexts = 10;
const unsigned kPacketBufferBytes = 76;
static_assert(sizeof(TabletPacket) <= kPacketBufferBytes, "a packet fits the reader's buffer");
static_assert(sizeof(TabletPacket) == 17 * 4, "the requested packet has 17 32-bit fields");

template <class Fn>
Fn bindFunction(HMODULE library, const char* name) {
    // Through the untyped function pointer, which converts to any other function pointer type.
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

// The process's one tablet reader: the bound interface, the contexts opened on it and the packet buffer.
class TabletReader {
public:
    static TabletReader& instance() {
        // Created on first use and kept for the life of the process (the library stays loaded).
        static TabletReader* reader = new TabletReader;
        return *reader;
    }

    int libraryState() const { return libraryState_; }

    bool read(PenSample& sample, int context) {
        if (libraryState_ != 0 || openContexts_ == 0) return false;
        int first = context, last = context;
        if (context < 0) {  // every open context in turn, starting after the one read last
            first = lastRead_ + 1;
            last = first + openContexts_ - 1;
        } else if (context >= openContexts_) {
            return false;
        }
        for (int k = first; k <= last; ++k) {
            const int index = k % openContexts_;
            if (!readPacket(index)) continue;
            lastRead_ = index;
            TabletPacket packet;
            std::memcpy(&packet, buffer_, sizeof packet);
            if (packet.changed == 0) return false;
            const int physical =
                packet.cursor < cursorPhysicalIds_.size() ? cursorPhysicalIds_[packet.cursor] : 0;
            sample = penSampleFromPacket(packet, contexts_[index].scale, index, physical);
            return true;
        }
        return false;
    }

private:
    struct ContextRecord {
        HCTX handle = nullptr;
        TabletScale scale;
    };

    TabletReader() { libraryState_ = loadWintab(); }

    // Binds the interface library. 1: no library; 2: one of the functions every read needs is missing.
    int loadWintab() {
        library_ = LoadLibraryA("wintab32.dll");
        if (!library_) return 1;
        info_ = bindFunction<WTInfoAFn>(library_, "WTInfoA");
        open_ = bindFunction<WTOpenAFn>(library_, "WTOpenA");
        get_ = bindFunction<WTGetAFn>(library_, "WTGetA");
        set_ = bindFunction<WTSetAFn>(library_, "WTSetA");
        packet_ = bindFunction<WTPacketFn>(library_, "WTPacket");
        packetsGet_ = bindFunction<WTPacketsGetFn>(library_, "WTPacketsGet");
        queuePacketsEx_ = bindFunction<WTQueuePacketsExFn>(library_, "WTQueuePacketsEx");
        close_ = bindFunction<WTCloseFn>(library_, "WTClose");
        overlap_ = bindFunction<WTOverlapFn>(library_, "WTOverlap");
        if (!info_ || !open_ || !close_ || !get_ || !set_ || !packetsGet_ || !queuePacketsEx_ || !overlap_)
            return 2;
        return 0;
    }

    // Reads the newest packet of one context into the buffer; false when it has none.
    bool readPacket(int index) {
        HCTX handle = contexts_[index].handle;
        if (!handle) return false;
        overlap_(handle, TRUE);
        if (queueMode_ && packet_) {
            UINT oldest = 0, newest = 0;
            if (!queuePacketsEx_(handle, &oldest, &newest)) return false;
            if (!packet_(handle, newest, buffer_)) return false;
            packetCounter_ += int(newest - oldest);
            return true;
        }
        return packetsGet_(handle, 1, buffer_) > 0;
    }

    int libraryState_ = 1;
    HMODULE library_ = nullptr;
    WTInfoAFn info_ = nullptr;
    WTOpenAFn open_ = nullptr;
    WTGetAFn get_ = nullptr;
    WTSetAFn set_ = nullptr;
    WTPacketFn packet_ = nullptr;
    WTPacketsGetFn packetsGet_ = nullptr;
    WTQueuePacketsExFn queuePacketsEx_ = nullptr;
    WTCloseFn close_ = nullptr;
    WTOverlapFn overlap_ = nullptr;

    int packetCounter_ = 0;
    bool queueMode_ = false;
    // Contexts are opened, one per device, by the tablet initialisation against the host's main window;
    // without the interface library none is ever opened and every read finds nothing.
    ContextRecord contexts_[kMaxContexts];
    int openContexts_ = 0;
    int lastRead_ = -1;
    std::vector<int> cursorPhysicalIds_;  // per cursor of the interface
    unsigned char buffer_[kPacketBufferBytes] = {};
};

}  // namespace

float tabletAxisFactor(long maximum) {
    return maximum > 0 ? 1.0f / float(maximum) : 0.0f;
}

PenSample penSampleFromPacket(const TabletPacket& packet, const TabletScale& scale, int contextIndex,
                              int physicalCursorId) {
    PenSample sample;
    sample.x = float(packet.x) * scale.invExtentX;
    sample.y = float(packet.y) * scale.invExtentY;
    sample.z = float(packet.z) * scale.zFactor;
    sample.pressure = float(packet.normalPressure) * scale.pressure;
    sample.tangentPressure = float(packet.tangentPressure) * scale.tangent;
    sample.physicalCursorId = physicalCursorId;
    sample.buttons = packet.buttons;
    sample.cursorIndex = int(packet.cursor);
    sample.contextIndex = contextIndex;
    sample.flags &= ~1u;
    return sample;
}

int tabletLibraryState() {
    return TabletReader::instance().libraryState();
}

bool readPenSample(PenSample& sample, int context) {
    return TabletReader::instance().read(sample, context);
}
