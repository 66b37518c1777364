#pragma once
// The scene's time: the current time (time1.outTime, what currentTime sets) and the playback and
// animation ranges. The headless host never plays back; the ranges are kept for the plug-in to read.
#include <maya/MStatus.h>
#include <maya/MTime.h>

class MAnimControl {
public:
    enum PlaybackMode { kPlaybackOnce, kPlaybackLoop, kPlaybackOscillate };

    static MTime currentTime();
    static MStatus setCurrentTime(const MTime& newTime);
    static MTime minTime();
    static MTime maxTime();
    static MStatus setMinTime(MTime newMinTime);
    static MStatus setMaxTime(MTime newMaxTime);
    static MStatus setMinMaxTime(MTime newMinTime, MTime newMaxTime);
    static MTime animationStartTime();
    static MTime animationEndTime();
    static MStatus setAnimationStartTime(MTime newStartTime);
    static MStatus setAnimationEndTime(MTime newEndTime);
    static MStatus setAnimationStartEndTime(MTime newStartTime, MTime newEndTime);
    static MTime playbackBy();
    static MStatus setPlaybackBy(const MTime& increment);
    static PlaybackMode playbackMode();
    static MStatus setPlaybackMode(PlaybackMode mode);
    static bool isPlaying();
    static MStatus playForward();
    static MStatus playBackward();
    static MStatus stop();
};
