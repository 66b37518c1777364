// playblast and modelEditor.
#include "view/RenderCommands.h"

#include <maya/M3dView.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "view/GlRenderer.h"
#include "view/Views.h"

namespace kxh {

using mel::ArgType;
using namespace kxh::view;

namespace {

// --- playblast ------------------------------------------------------------------------------------------

mel::Syntax playblastSyntax() {
    mel::Syntax syn;
    syn.flag("fr", "frame", {ArgType::Float}, true)
        .flag("fmt", "format", {ArgType::String})
        .flag("c", "compression", {ArgType::String})
        .flag("cf", "completeFilename", {ArgType::String})
        .flag("f", "filename", {ArgType::String})
        .flag("fp", "framePadding", {ArgType::Int})
        .flag("w", "width", {ArgType::Int})
        .flag("h", "height", {ArgType::Int})
        .flag("wh", "widthHeight", {ArgType::Int, ArgType::Int})
        .flag("p", "percent", {ArgType::Int})
        .flag("v", "viewer", {ArgType::Bool})
        .flag("orn", "showOrnaments", {ArgType::Bool})
        .flag("os", "offScreen")
        .flag("fo", "forceOverwrite")
        .flag("cc", "clearCache", {ArgType::Bool})
        .flag("qlt", "quality", {ArgType::Int})
        .flag("st", "startTime", {ArgType::Float})
        .flag("et", "endTime", {ArgType::Float})
        .flag("ae", "activeEditor");
    syn.maxObjects = 1;
    return syn;
}

// The file a playblast writes: -completeFilename as given, else -filename (or the object word) with the
// frame number padded to -framePadding digits and the image extension: "name.0001.png".
std::string outputFile(const mel::ParsedArgs& a, double frame) {
    if (a.has("cf")) return a.arg("cf").asString();
    std::string base = a.has("f") ? a.arg("f").asString() : !a.objects.empty() ? a.objects[0].asString() : "";
    if (base.empty()) return base;
    const long padding = std::clamp(a.has("fp") ? a.arg("fp").asInt() : 4L, 0L, 16L);
    char number[40];
    std::snprintf(number, sizeof number, "%0*ld", int(padding), long(std::lround(frame)));
    return base + "." + number + ".png";
}

bool playblastCmd(mel::Invocation& inv) {
    static const mel::Syntax syn = playblastSyntax();
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    View* v = activeView();
    if (!v) return inv.fail("playblast: there is no active view.");
    if (a.has("ae")) {
        inv.result = mel::Value(v->panel);
        return true;
    }
    const std::string format = a.has("fmt") ? a.arg("fmt").asString() : std::string("image");
    if (format != "image")
        return inv.fail("playblast: the format \"" + format + "\" is not available; use \"image\".");
    const std::string compression = a.has("c") ? a.arg("c").asString() : std::string("png");
    if (compression != "png")
        return inv.fail("playblast: the image compression \"" + compression +
                        "\" is not available; use \"png\".");

    // Size: the port, or -width/-height (-widthHeight), never larger than the port, then the percentage.
    long width = v->width, height = v->height;
    if (a.has("wh")) {
        width = a.arg("wh", mel::Value(), 0).asInt();
        height = a.arg("wh", mel::Value(), 1).asInt();
    }
    if (a.has("w")) width = a.arg("w").asInt();
    if (a.has("h")) height = a.arg("h").asInt();
    if (width <= 0) width = v->width;
    if (height <= 0) height = v->height;
    width = std::min<long>(width, v->width);
    height = std::min<long>(height, v->height);
    const long percent = std::clamp(a.has("p") ? a.arg("p").asInt() : 50L, 10L, 100L);
    width = std::max(1L, width * percent / 100);
    height = std::max(1L, height * percent / 100);

    const double frame = a.has("fr") ? a.arg("fr").asFloat() : a.has("st") ? a.arg("st").asFloat() : 1.0;
    const std::string file = outputFile(a, frame);
    if (file.empty()) return inv.fail("playblast: no file name given (use -completeFilename or -filename).");
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(file).parent_path();
    std::error_code ec;
    if (!folder.empty() && !fs::is_directory(folder, ec))
        return inv.fail("playblast: the folder \"" + folder.string() + "\" does not exist.");

    Frame image;
    std::string error;
    if (!renderViewAt(*v, int(width), int(height), image, &error)) return inv.fail("playblast: " + error);
    if (!writePng(image, file, &error)) return inv.fail("playblast: " + error);
    inv.result = mel::Value(file);
    return true;
}

// --- modelEditor
// ---------------------------------------------------------------------------------------------

struct Appearance {
    const char* name;
    M3dView::DisplayStyle style;
};

const Appearance kAppearances[] = {
    {"wireframe", M3dView::kWireFrame},     {"points", M3dView::kPoints},
    {"boundingBox", M3dView::kBoundingBox}, {"smoothShaded", M3dView::kGouraudShaded},
    {"flatShaded", M3dView::kFlatShaded},
};

mel::Syntax modelEditorSyntax() {
    mel::Syntax syn;
    syn.queryable = true;
    syn.editable = true;
    syn.flag("wos", "wireframeOnShaded", {ArgType::Bool})
        .flag("lc", "locators", {ArgType::Bool})
        .flag("da", "displayAppearance", {ArgType::String})
        .flag("cam", "camera", {ArgType::String})
        .flag("ex", "exists");
    syn.maxObjects = 1;
    return syn;
}

bool modelEditorCmd(mel::Invocation& inv) {
    static const mel::Syntax syn = modelEditorSyntax();
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    const std::string name = a.objects.empty() ? std::string() : a.objects[0].asString();
    View* v = name.empty() ? activeView() : viewByPanel(name);
    if (a.has("ex")) {
        inv.result = mel::Value(v != nullptr && !name.empty());
        return true;
    }
    if (!a.query && !a.edit)
        return inv.fail("modelEditor: new model editors cannot be made; edit one with -e.");
    if (!v) return inv.fail("modelEditor: '" + name + "' is not a model editor.");
    if (a.query) {
        if (a.flags.empty()) return inv.fail("modelEditor: no flag given to query.");
        const std::string flag = a.flags.front().def->shortName;
        if (flag == "wos") {
            inv.result = mel::Value(wireframeOnShaded(*v));
        } else if (flag == "lc") {
            inv.result = mel::Value(showsLocators(*v));
        } else if (flag == "da") {
            std::string appearance = "smoothShaded";
            for (const Appearance& ap : kAppearances)
                if (ap.style == v->displayStyle) appearance = ap.name;
            inv.result = mel::Value(appearance);
        } else if (flag == "cam") {
            Node* c = viewCamera(*v);
            Node* xf = c ? c->parent() : nullptr;
            inv.result = mel::Value(xf && !xf->isWorld() ? xf->name() : c ? c->name() : std::string());
        } else {
            return inv.fail("modelEditor: the flag -" + flag + " cannot be queried.");
        }
        return true;
    }
    if (a.has("cam")) return inv.fail("modelEditor: change the camera with lookThru.");
    if (a.has("da")) {
        const std::string want = a.arg("da").asString();
        const Appearance* found = nullptr;
        for (const Appearance& ap : kAppearances)
            if (want == ap.name) found = &ap;
        if (!found) return inv.fail("modelEditor: unknown display appearance \"" + want + "\".");
        v->displayStyle = int(found->style);
    }
    if (a.has("wos")) setWireframeOnShaded(*v, a.arg("wos").asBool());
    if (a.has("lc")) setShowsLocators(*v, a.arg("lc").asBool());
    return true;
}

}  // namespace

void registerRenderCommands(mel::CommandRegistry& registry,
                            const std::function<void(std::function<void()>)>& addResetHook) {
    registry.add({"playblast", playblastCmd, std::make_shared<mel::Syntax>(playblastSyntax())});
    registry.add({"modelEditor", modelEditorCmd, std::make_shared<mel::Syntax>(modelEditorSyntax())});
    resetRenderState();
    if (addResetHook) addResetHook([] { resetRenderState(); });
}

}  // namespace kxh
