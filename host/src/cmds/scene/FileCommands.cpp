// file: -import of polygon files, -exportSelected of the selected meshes, -new.
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>

#include "cmds/scene/SceneCommandUtil.h"
#include "cmds/scene/SceneCommands.h"
#include "graph/api/Messages.h"
#include "graph/api/Messages.h"
#include "mel/Interpreter.h"
#include "mesh/MeshIO.h"

namespace kxh::scenecmd {

using mel::ArgType;

namespace {

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string lower(std::string s) {
    for (auto& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// File types -import accepts with -type (the importer picks the reader from the file itself).
bool knownImportType(const std::string& type) {
    static const std::set<std::string> types = {"obj",  "objexport",   "fbx",    "fbx export",
                                                "gltf", "gltf export", "ply",    "stl",
                                                "dae",  "3ds",         "collada"};
    return types.count(lower(type)) != 0;
}

// A legal node name from a file's object name: invalid characters become '_', a leading digit gets '_'.
std::string nodeNameFrom(const std::string& name, const std::string& fallback) {
    std::string out;
    for (char c : name) out += std::isalnum(static_cast<unsigned char>(c)) || c == '_' ? c : '_';
    if (out.empty()) out = fallback;
    if (std::isdigit(static_cast<unsigned char>(out[0]))) out = "_" + out;
    return out;
}

bool importFile(mel::Invocation& inv, const std::string& path, const mel::ParsedArgs& a) {
    if (a.has("typ") && !knownImportType(a.arg("typ").asString()))
        return inv.fail("Unknown file type: " + a.arg("typ").asString());
    if (!fileExists(path)) return inv.fail("File not found: " + path);
    fireSceneMessage(MSceneMessage::kBeforeImport);
    ImportResult imported = importMeshes(path);
    if (!imported.ok) return inv.fail(imported.error);
    std::string error;
    bool ok = mel::undoable(inv, scene(), [&] {
        Scene& s = scene();
        SelectionList created;
        for (auto& im : imported.meshes) {
            NodePtr xform;
            NodePtr shape = createMeshTransform(nodeNameFrom(im.name, "polySurface1"), xform, error);
            if (!shape) return inv.fail(error);
            Matrix44 m;
            for (int r = 0; r < 4; ++r)
                for (int c = 0; c < 4; ++c) m.m[r][c] = im.matrix.m[r][c];
            if (!m.isIdentity() && !setLocalMatrix(*xform, m, error)) return inv.fail(error);
            if (!s.setShapeMesh(*shape, std::make_shared<Mesh>(std::move(im.mesh)), &error))
                return inv.fail(error);
            created.add(xform);
        }
        s.setActiveSelection(created);
        return true;
    });
    if (ok) {
        fireSceneMessage(MSceneMessage::kAfterImport);
        inv.result = mel::Value(path);
    }
    return ok;
}

// The mesh shapes under the selection: a selected shape, or every visible mesh below a selected transform.
void collectMeshes(Node& n, std::vector<Node*>& out, std::set<Node*>& seen) {
    if (n.typeName() == "mesh") {
        if (!n.isIntermediate() && seen.insert(&n).second) out.push_back(&n);
        return;
    }
    for (Node* c : n.children()) collectMeshes(*c, out, seen);
}

bool exportSelected(mel::Invocation& inv, const std::string& path, const mel::ParsedArgs& a) {
    std::string format;
    if (a.has("typ")) {
        std::string type = a.arg("typ").asString();
        format = exporterIdForFileType(type);
        if (format.empty()) return inv.fail("Unknown file type: " + type);
    } else {
        format = exporterIdForPath(path);
        if (format.empty()) return inv.fail("Unknown file type: " + path);
    }
    if (fileExists(path) && !a.has("f"))
        return inv.fail("File already exists: " + path + " (use -force to overwrite).");
    std::vector<Node*> shapes;
    std::set<Node*> seen;
    for (const auto& item : scene().activeSelection().items())
        if (item.node && item.node->alive()) collectMeshes(*item.node, shapes, seen);
    if (shapes.empty()) return inv.fail("Nothing selected to export.");
    // Points go out in world space, so the file holds what the scene shows.
    std::vector<ImportedMesh> items;
    for (Node* shape : shapes) {
        MeshPtr mesh = scene().shapeMesh(*shape);
        if (!mesh) continue;
        ImportedMesh im;
        im.name = componentOwnerName(*shape, false);
        im.mesh = *mesh;
        Matrix44 w = shape->inclusiveMatrix();
        if (!w.isIdentity()) {
            for (auto& p : im.mesh.points) p = w.transformPoint(p);
            im.mesh.pointsChanged();
        }
        items.push_back(std::move(im));
    }
    fireSceneMessage(MSceneMessage::kBeforeExport);
    ExportResult r = exportMeshes(path, format, items);
    if (!r.ok) return inv.fail(r.error);
    fireSceneMessage(MSceneMessage::kAfterExport);
    inv.result = mel::Value(path);
    return true;
}

bool fileCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.queryable = true;
    syn.flag("i", "import")
        .flag("es", "exportSelected")
        .flag("ea", "exportAll")
        .flag("typ", "type", {ArgType::String})
        .flag("f", "force")
        .flag("new", "newFile")
        .flag("op", "options", {ArgType::String})
        .flag("pr", "preserveReferences")
        .flag("ra", "renameAll", {ArgType::Bool})
        .flag("mnc", "mergeNamespacesOnClash", {ArgType::Bool})
        .flag("ns", "namespace", {ArgType::String});
    syn.maxObjects = 1;
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    if (a.has("new")) {
        if (!a.has("f")) return inv.fail("Unsaved changes: use file -force -new to discard them.");
        fireSceneMessage(MSceneMessage::kBeforeNew);
        fireSceneMessage(MSceneMessage::kBeforeNew);
        scene().reset();
        inv.interp.undoQueue().clear();
        fireSceneMessage(MSceneMessage::kAfterNew);
        // The after-new listeners (the view layer among them) put the new scene's startup nodes back.
        fireSceneMessage(MSceneMessage::kAfterNew);
        inv.result = mel::Value("untitled");
        return true;
    }
    if (a.objects.empty()) return inv.fail("No file name given.");
    const std::string path = a.objects[0].asString();
    if (a.has("i")) return importFile(inv, path, a);
    if (a.has("es")) return exportSelected(inv, path, a);
    if (a.has("ea")) {
        // Everything visible: select-all for the duration of the export.
        SelectionList saved = scene().activeSelection();
        SelectionList all;
        for (Node* c : scene().world()->children()) all.add(c->ptr());
        scene().setActiveSelection(all);
        bool ok = exportSelected(inv, path, a);
        scene().setActiveSelection(saved);
        return ok;
    }
    return inv.fail("No file action given (-import, -exportSelected, -exportAll or -new).");
}

}  // namespace

// sysFile: the host's file-system helper. -md/-makeDir creates a folder with its parents, -del/-delete
// removes a file, -ren/-rename <new> renames; the result is 1 on success and 0 on failure, as in the host.
bool sysFileCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("md", "makeDir").flag("del", "delete").flag("ren", "rename", {ArgType::String});
    syn.minObjects = 1;
    syn.maxObjects = 1;
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    namespace fs = std::filesystem;
    const fs::path path(a.objects[0].asString());
    std::error_code ec;
    bool ok = false;
    if (a.has("md")) {
        fs::create_directories(path, ec);
        ok = !ec && fs::is_directory(path);
    } else if (a.has("del")) {
        ok = fs::is_regular_file(path) && fs::remove(path, ec) && !ec;
    } else if (a.has("ren")) {
        fs::rename(path, fs::path(a.arg("ren").asString()), ec);
        ok = !ec;
    } else {
        return inv.fail("sysFile: one of -makeDir, -delete or -rename is needed.");
    }
    inv.result = mel::Value(ok ? 1 : 0);
    return true;
}

void registerFileCommands(mel::CommandRegistry& registry) {
    registry.add({"file", fileCmd, nullptr});
    registry.add({"sysFile", sysFileCmd, nullptr});
}

}  // namespace kxh::scenecmd
