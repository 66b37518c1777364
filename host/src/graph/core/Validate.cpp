// Scene invariants and the full scene dump used to compare states.
#include <algorithm>
#include <set>
#include <sstream>

#include "graph/core/Scene.h"
#include "mesh/MeshValidate.h"

namespace kxh {

namespace {

void validateMeshesIn(const PlugSlot& s, const std::string& where, std::vector<std::string>& out) {
    if (s.hasValue)
        if (MeshPtr m = s.value.asMesh())
            for (auto& p : validateMesh(*m)) out.push_back(where + ": " + p);
    for (auto& [a, c] : s.children) validateMeshesIn(c, where + "." + a->longName(), out);
    for (auto& [i, e] : s.elements) validateMeshesIn(e, where + "[" + std::to_string(i) + "]", out);
}

void dumpSlot(std::ostringstream& os, const Node& n, const Attribute* a, const PlugSlot& s,
              const std::string& path) {
    if (n.isComputed(a)) return;  // caches of computed plugs are not state
    if (s.hasValue) os << "    " << path << " = " << s.value.describe() << "\n";
    for (auto& c : a->children()) {
        auto it = s.children.find(c.get());
        if (it != s.children.end()) dumpSlot(os, n, c.get(), it->second, path + "." + c->longName());
    }
    if (a->array)
        for (auto& [i, e] : s.elements) {
            std::string ep = path + "[" + std::to_string(i) + "]";
            os << "    " << ep << " exists\n";
            // An element's own value (leaf arrays) or its children.
            if (e.hasValue) os << "    " << ep << " = " << e.value.describe() << "\n";
            for (auto& c : a->children()) {
                auto it = e.children.find(c.get());
                if (it != e.children.end()) dumpSlot(os, n, c.get(), it->second, ep + "." + c->longName());
            }
        }
}

}  // namespace

std::vector<std::string> validateScene(const Scene& scene) {
    std::vector<std::string> out;
    auto nodes = scene.nodes();
    std::set<std::string> names;
    for (auto& n : nodes) {
        const std::string& nm = n->name();
        if (!n->alive()) out.push_back("dead node in scene: " + nm);
        if (nm.empty()) out.push_back("node without a name");
        if (!names.insert(nm).second) out.push_back("duplicate name: " + nm);
        if (scene.find(nm) != n) out.push_back("name index does not lead to " + nm);
        if (&n->scene() != &scene) out.push_back("node of another scene: " + nm);
        // DAG links
        if (n->isDag()) {
            Node* p = n->parent();
            if (!p) {
                out.push_back("DAG node without a parent: " + nm);
            } else {
                if (!p->alive()) out.push_back("parent of " + nm + " is not alive");
                auto& sib = p->children();
                if (std::count(sib.begin(), sib.end(), n.get()) != 1)
                    out.push_back(nm + " is not listed once among its parent's children");
                if (n->isShape() && p->isWorld()) out.push_back("shape under the world: " + nm);
                if (p->isShape()) out.push_back("parent of " + nm + " is a shape");
            }
            for (Node* c : n->children())
                if (c->parent() != n.get())
                    out.push_back("child " + c->name() + " of " + nm + " has another parent");
        } else if (n->parent() || !n->children().empty()) {
            out.push_back("DG node with DAG links: " + nm);
        }
        // Connections, both ends.
        for (auto& c : n->inputs()) {
            if (c.dst.node() != n.get()) out.push_back("input of " + nm + " stored with another destination");
            Node* s = c.src.node();
            if (!s || !s->alive()) {
                out.push_back("input of " + nm + " from a dead node");
                continue;
            }
            auto& so = s->outputs();
            if (std::find(so.begin(), so.end(), c) == so.end())
                out.push_back("connection " + c.src.name() + " -> " + c.dst.name() +
                              " missing on its source");
            if (!s->hasAttribute(c.src.attribute()))
                out.push_back("source attribute missing: " + c.src.name());
            if (!n->hasAttribute(c.dst.attribute()))
                out.push_back("destination attribute missing: " + c.dst.name());
            for (auto& d : n->inputs())
                if (!(d == c) && (d.dst.contains(c.dst) || c.dst.contains(d.dst)))
                    out.push_back("two sources for " + c.dst.name());
        }
        for (auto& c : n->outputs()) {
            Node* d = c.dst.node();
            if (c.src.node() != n.get()) out.push_back("output of " + nm + " stored with another source");
            if (!d || !d->alive()) {
                out.push_back("output of " + nm + " to a dead node");
                continue;
            }
            auto& di = d->inputs();
            if (std::find(di.begin(), di.end(), c) == di.end())
                out.push_back("connection " + c.src.name() + " -> " + c.dst.name() +
                              " missing on its destination");
        }
        for (auto& [a, s] : n->slots_) {
            if (!n->hasAttribute(a)) out.push_back("values stored for a foreign attribute on " + nm);
            validateMeshesIn(s, nm + "." + a->longName(), out);
        }
    }
    if (!scene.world()->alive() || scene.world()->parent()) out.push_back("world broken");
    for (Node* c : scene.world()->children())
        if (!c->alive() || c->parent() != scene.world().get()) out.push_back("bad child of the world");
    for (auto* list : {&scene.activeSelection(), &scene.hiliteList()})
        for (auto& it : list->items()) {
            if (!it.node || !it.node->alive()) out.push_back("selection holds a dead node");
            if (!std::is_sorted(it.ids.begin(), it.ids.end()) ||
                std::adjacent_find(it.ids.begin(), it.ids.end()) != it.ids.end())
                out.push_back("selection ids not sorted unique");
        }
    return out;
}

std::string dumpScene(const Scene& scene) {
    std::ostringstream os;
    Scene& s = const_cast<Scene&>(scene);
    for (auto& n : scene.nodes()) {
        os << "node " << n->name() << " : " << n->typeName();
        if (n->isDag()) os << " parent=" << (n->parent() ? n->parent()->fullPathName() : std::string("?"));
        os << " children=";
        for (Node* c : n->children()) os << c->name() << ",";
        os << "\n";
        for (auto& a : n->dynamicAttributes())
            os << "  dynamic " << a->longName() << "/" << a->shortName() << " kind=" << int(a->kind())
               << " array=" << a->array << "\n";
        for (auto& a : n->attributes()) {
            auto it = n->slots_.find(a.get());
            if (it != n->slots_.end()) dumpSlot(os, *n, a.get(), it->second, a->longName());
        }
        for (auto& c : n->inputs()) os << "  in " << c.src.name() << " -> " << c.dst.name() << "\n";
        if (n->type().isA("mesh")) {
            MeshPtr m = s.shapeMesh(*n);
            os << "  evaluated " << (m ? MeshData(m).describe() : std::string("none")) << "\n";
        }
    }
    os << "active:";
    for (auto& str : scene.activeSelection().strings()) os << " " << str;
    os << "\nhilite:";
    for (auto& str : scene.hiliteList().strings()) os << " " << str;
    os << "\n";
    return os.str();
}

}  // namespace kxh
