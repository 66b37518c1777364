// A dependency node computing a sine wave: output = amplitude * sin(frequency * time + phase) + offset
// * steps. Its inputs are a plain double, a time, an angle, a distance and an integer read through the
// older handle names (asLong); entry points are declared without export macro or C linkage.
#include <maya/MAngle.h>
#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>
#include <maya/MDistance.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnPlugin.h>
#include <maya/MFnUnitAttribute.h>
#include <maya/MPlug.h>
#include <maya/MPxNode.h>
#include <maya/MString.h>
#include <maya/MTime.h>
#include <maya/MTypeId.h>

#include <math.h>

class waveNode : public MPxNode {
public:
    waveNode() {}
    virtual ~waveNode() {}
    virtual MStatus compute(const MPlug& plug, MDataBlock& data);
    static void* creator() { return new waveNode(); }
    static MStatus initialize();

    static MObject amplitude;
    static MObject frequency;
    static MObject time;
    static MObject phase;
    static MObject offset;
    static MObject steps;
    static MObject output;
    static MTypeId id;
};

MObject waveNode::amplitude;
MObject waveNode::frequency;
MObject waveNode::time;
MObject waveNode::phase;
MObject waveNode::offset;
MObject waveNode::steps;
MObject waveNode::output;
MTypeId waveNode::id(0x0011A2F0);

MStatus waveNode::compute(const MPlug& plug, MDataBlock& data) {
    if (plug != output) return MS::kUnknownParameter;
    MStatus status;
    double a = data.inputValue(amplitude, &status).asDouble();
    if (!status) return status;
    double f = data.inputValue(frequency).asDouble();
    MTime t = data.inputValue(time).asTime();
    MAngle p = data.inputValue(phase).asAngle();
    MDistance o = data.inputValue(offset).asDistance();
    int n = data.inputValue(steps).asLong();
    double result = a * sin(f * t.as(MTime::kSeconds) + p.asRadians()) + o.asCentimeters() * n;
    MDataHandle out = data.outputValue(output);
    out.set(result);
    data.setClean(plug);
    return MS::kSuccess;
}

MStatus waveNode::initialize() {
    MFnNumericAttribute nAttr;
    MFnUnitAttribute uAttr;
    amplitude = nAttr.create("amplitude", "amp", MFnNumericData::kDouble, 1.0);
    nAttr.setKeyable(true);
    frequency = nAttr.create("frequency", "frq", MFnNumericData::kDouble, 1.0);
    time = uAttr.create("time", "tm", MTime(0.0, MTime::kSeconds));
    phase = uAttr.create("phase", "ph", MFnUnitAttribute::kAngle, 0.0);
    offset = uAttr.create("offset", "ofs", MDistance(1.0, MDistance::kMeters));
    uAttr.setMin(MDistance(-1.0, MDistance::kMeters));
    steps = nAttr.create("steps", "st", MFnNumericData::kLong, 0);
    output = nAttr.create("output", "out", MFnNumericData::kDouble, 0.0);
    nAttr.setWritable(false);
    nAttr.setStorable(false);

    MObject inputs[] = {amplitude, frequency, time, phase, offset, steps};
    for (unsigned i = 0; i < 6; ++i) {
        addAttribute(inputs[i]);
        attributeAffects(inputs[i], output);
    }
    return addAttribute(output);
}

MStatus initializePlugin(MObject obj) {
    MFnPlugin plugin(obj, PLUGIN_COMPANY, "1.0", "Any");
    MStatus status = plugin.registerNode("kxsWave", waveNode::id, waveNode::creator, waveNode::initialize);
    if (!status) status.perror("registerNode");
    return status;
}

MStatus uninitializePlugin(MObject obj) {
    MFnPlugin plugin(obj);
    MStatus status = plugin.deregisterNode(waveNode::id);
    if (!status) status.perror("deregisterNode");
    return status;
}
