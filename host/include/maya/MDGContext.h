#pragma once
// The context a graph evaluation runs in. The host evaluates only at the current time, so every context is
// the normal one.
#include <maya/MStatus.h>

class MDGContext {
public:
    MDGContext();
    MDGContext(const MDGContext& in);
    virtual ~MDGContext();
    MDGContext& operator=(const MDGContext& other);

    bool isNormal(MStatus* ReturnStatus = NULL) const;

    // Not const: API calls take `MDGContext& ctx = MDGContext::fsNormal`.
    static MDGContext fsNormal;
};
