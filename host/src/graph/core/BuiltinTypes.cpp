// The host's built-in node types: dependNode, dagNode, transform, shape, locator, mesh, polyTweak,
// objectSet and the polygon primitive creators.
#include "graph/core/BuiltinTypes.h"

#include "graph/core/Scene.h"
#include "graph/core/ScenePoints.h"
#include "mesh/MeshBvh.h"
#include "mesh/MeshPrimitives.h"

namespace kxh {

namespace {

constexpr unsigned fourcc(const char (&s)[5]) {
    return (unsigned(s[0]) << 24) | (unsigned(s[1]) << 16) | (unsigned(s[2]) << 8) | unsigned(s[3]);
}

Value eval(Node& n, const std::string& path) {
    Plug p = n.findPlug(path);
    return p.isNull() ? Value() : n.scene().evaluate(p);
}

V3 evalV3(Node& n, const std::string& path) {
    auto t = eval(n, path).asNumbers();
    t.resize(3, 0.0);
    return {t[0], t[1], t[2]};
}

// The element a compute of an array attribute writes: the requested element, or element 0 when the
// whole array was asked for.
Plug elementOf(const Plug& plug) {
    return plug.isArray() ? plug.elementByLogicalIndex(0) : plug;
}

AttrPtr double3(const std::string& ln, const std::string& sn, const char* axisLong, const char* axisShort,
                double def, AttrUnit unit) {
    std::vector<std::pair<std::string, std::string>> names;
    for (int i = 0; i < 3; ++i) {
        std::string x(1, "XYZ"[i]);
        names.emplace_back(std::string(axisLong) + x, std::string(axisShort) + char(std::tolower(x[0])));
    }
    AttrPtr a = Attribute::numericCompound(ln, sn, NumericType::Double3, names, {def, def, def});
    for (auto& c : a->children()) c->setUnit(unit);
    a->keyable = true;
    for (auto& c : a->children()) c->keyable = true;
    return a;
}

AttrPtr float3Array(const std::string& ln, const std::string& sn,
                    const std::vector<std::pair<std::string, std::string>>& childNames) {
    AttrPtr a = Attribute::numericCompound(ln, sn, NumericType::Float3, childNames);
    a->array = true;
    for (auto& c : a->children()) c->setUnit(AttrUnit::Distance);
    return a;
}

AttrPtr meshAttr(const std::string& ln, const std::string& sn) {
    AttrPtr a = Attribute::typed(ln, sn, DataKind::Mesh);
    a->storable = true;
    return a;
}

AttrPtr outputMesh(const std::string& ln, const std::string& sn) {
    AttrPtr a = meshAttr(ln, sn);
    a->storable = false;
    return a;
}

AttrPtr matrixArray(const std::string& ln, const std::string& sn) {
    AttrPtr a = Attribute::matrix(ln, sn);
    a->array = true;
    a->storable = false;
    a->writable = false;
    return a;
}

// Adds the tuple stored in each existing element of a float3 array plug to the mesh's points. Returns
// the mesh to use: `base` itself when nothing is added, else a changed copy.
MeshPtr addPointOffsets(Scene& scene, const Plug& arrayPlug, const MeshPtr& base) {
    if (!base) return base;
    MeshPtr out;
    for (int i : arrayPlug.existingLogicalIndices()) {
        if (i >= base->numVertices()) continue;
        auto t = scene.evaluate(arrayPlug.elementByLogicalIndex(unsigned(i))).asNumbers();
        if (t.size() < 3 || (t[0] == 0 && t[1] == 0 && t[2] == 0)) continue;
        if (!out) out = std::make_shared<Mesh>(*base);
        V3& p = out->points[size_t(i)];
        p.x += t[0];
        p.y += t[1];
        p.z += t[2];
    }
    if (!out) return base;
    out->pointsChanged();
    return out;
}

}  // namespace

// --- DAG nodes --------------------------------------------------------------------------------------

Matrix44 DagBehavior::localMatrix(Node& node) {
    (void)node;
    return Matrix44();
}

ComputeStatus DagBehavior::compute(Node& node, const Plug& plug) {
    const std::string& n = plug.attribute()->longName();
    if (n == "matrix" || n == "xformMatrix") {
        node.setComputed(plug, Value::matrix(localMatrix(node)));
        return ComputeStatus::Done;
    }
    if (n == "inverseMatrix") {
        node.setComputed(plug, Value::matrix(eval(node, "matrix").asMatrix().inverse()));
        return ComputeStatus::Done;
    }
    if (n == "parentMatrix") {
        Node* p = node.parent();
        Matrix44 m = p && !p->isWorld() ? eval(*p, "worldMatrix[0]").asMatrix() : Matrix44();
        node.setComputed(elementOf(plug), Value::matrix(m));
        return ComputeStatus::Done;
    }
    if (n == "parentInverseMatrix") {
        node.setComputed(elementOf(plug), Value::matrix(eval(node, "parentMatrix[0]").asMatrix().inverse()));
        return ComputeStatus::Done;
    }
    if (n == "worldMatrix") {
        Matrix44 m = eval(node, "matrix").asMatrix() * eval(node, "parentMatrix[0]").asMatrix();
        node.setComputed(elementOf(plug), Value::matrix(m));
        return ComputeStatus::Done;
    }
    if (n == "worldInverseMatrix") {
        node.setComputed(elementOf(plug), Value::matrix(eval(node, "worldMatrix[0]").asMatrix().inverse()));
        return ComputeStatus::Done;
    }
    return ComputeStatus::Unknown;
}

ComputeStatus LocatorBehavior::compute(Node& node, const Plug& plug) {
    if (plug.attribute()->root()->longName() != "worldPosition") return DagBehavior::compute(node, plug);
    const Plug element = elementOf(plug.attribute()->parent() ? plug.parent() : plug);
    const V3 p = eval(node, "worldMatrix[0]").asMatrix().transformPoint(evalV3(node, "localPosition"));
    node.setComputed(element, Value(std::vector<double>{p.x, p.y, p.z}));
    return ComputeStatus::Done;
}

Matrix44 TransformBehavior::localMatrix(Node& node) {
    V3 t = evalV3(node, "translate"), r = evalV3(node, "rotate"), s = evalV3(node, "scale");
    V3 rp = evalV3(node, "rotatePivot"), sp = evalV3(node, "scalePivot");
    V3 rpt = evalV3(node, "rotatePivotTranslate"), spt = evalV3(node, "scalePivotTranslate");
    int ro = eval(node, "rotateOrder").asInt();
    if (ro < 0 || ro > 5) ro = 0;
    Matrix44 m = Matrix44::translation(-sp.x, -sp.y, -sp.z) * Matrix44::scaling(s.x, s.y, s.z) *
                 Matrix44::translation(sp.x, sp.y, sp.z) * Matrix44::translation(spt.x, spt.y, spt.z) *
                 Matrix44::translation(-rp.x, -rp.y, -rp.z) * eulerMatrix(r.x, r.y, r.z, RotateOrder(ro)) *
                 Matrix44::translation(rp.x, rp.y, rp.z) * Matrix44::translation(rpt.x, rpt.y, rpt.z) *
                 Matrix44::translation(t.x, t.y, t.z);
    return m;
}

// --- mesh shape -----------------------------------------------------------------------------------

namespace {
// Applies the non-point data of an edit layer (UV sets, colour sets, creases, locked normals) over a
// mesh of the same topology.
MeshPtr applyEdits(const MeshPtr& base, const MeshPtr& edits) {
    if (!base || !edits) return base;
    if (edits->faceOffsets != base->faceOffsets || edits->faceVerts != base->faceVerts) return base;
    auto out = std::make_shared<Mesh>(*base);
    out->uvSets = edits->uvSets;
    out->currentUvSet = edits->currentUvSet;
    out->colorSets = edits->colorSets;
    out->currentColorSet = edits->currentColorSet;
    out->edgeCreases = edits->edgeCreases;
    out->hardEdges = edits->hardEdges;
    out->lockedNormals = edits->lockedNormals;
    out->pointsChanged();
    return out;
}
}  // namespace

ComputeStatus MeshBehavior::compute(Node& node, const Plug& plug) {
    const std::string& n = plug.attribute()->longName();
    Scene& scene = node.scene();
    if (n == attr::kOutMesh) {
        Plug in = node.findPlug(attr::kInMesh);
        bool history = !in.effectiveSource().isNull();
        MeshPtr base = history ? scene.evaluate(in).asMesh() : eval(node, attr::kCachedInMesh).asMesh();
        if (history) base = applyEdits(base, eval(node, attr::kMeshEdits).asMesh());
        MeshPtr out = addTweaks(node, base);
        node.setComputed(plug, out ? Value::mesh(out) : Value());
        return ComputeStatus::Done;
    }
    if (n == attr::kWorldMesh) {
        MeshPtr out = eval(node, attr::kOutMesh).asMesh();
        Matrix44 wm = eval(node, "worldMatrix[0]").asMatrix();
        if (out && !wm.isIdentity()) {
            auto w = std::make_shared<Mesh>(*out);
            for (auto& p : w->points) p = wm.transformPoint(p);
            w->pointsChanged();
            out = w;
        }
        node.setComputed(elementOf(plug), out ? Value::mesh(out) : Value());
        return ComputeStatus::Done;
    }
    return DagBehavior::compute(node, plug);
}

void MeshBehavior::tweaksWritten(const std::vector<int>& ids) {
    if (tweaksValid_) pending_.insert(pending_.end(), ids.begin(), ids.end());
    announced_ = true;
}

void MeshBehavior::plugChanged(const Plug& plug) {
    if (plug.attribute()->root()->longName() != attr::kPnts) return;
    if (announced_)
        announced_ = false;
    else
        tweaksValid_ = false;
}

MeshPtr MeshBehavior::addTweaks(Node& node, const MeshPtr& base) {
    const Plug pnts = node.findPlug(attr::kPnts);
    bool connected = false;
    for (const Connection& c : node.inputs())
        if (c.dst.attribute()->root() == pnts.attribute()) connected = true;
    if (base && !connected && tweaksValid_ && tweaked_ && tweakedFrom_ == base->pointsVersion() &&
        tweaked_->numVertices() == base->numVertices()) {
        // Only the flat path wrote pnts since the last compute: rewrite the written vertices of the kept
        // result (of a copy when a caller or an undo record still holds it).
        if (!shapeOwnsMesh(node, tweaked_, 1)) tweaked_ = std::make_shared<Mesh>(*tweaked_);
        const PlugSlot* arr = node.slot(pnts);
        const auto& kids = pnts.attribute()->children();
        const std::uint64_t from = tweaked_->pointsVersion();
        for (int i : pending_) {
            if (i < 0 || i >= base->numVertices()) continue;
            V3 t;
            if (arr) {
                auto e = arr->elements.find(i);
                if (e != arr->elements.end()) {
                    double* xyz[3] = {&t.x, &t.y, &t.z};
                    for (size_t c = 0; c < 3 && c < kids.size(); ++c) {
                        auto ch = e->second.children.find(kids[c].get());
                        if (ch != e->second.children.end() && ch->second.hasValue)
                            *xyz[c] = ch->second.value.asDouble();
                    }
                }
            }
            const V3& b = base->points[size_t(i)];
            // As addPointOffsets: a zero tweak leaves the input point exactly (-0.0 included).
            tweaked_->points[size_t(i)] =
                t.x == 0 && t.y == 0 && t.z == 0 ? b : V3{b.x + t.x, b.y + t.y, b.z + t.z};
        }
        tweaked_->pointsChanged();
        meshPointsMoved(*tweaked_, from, pending_);
        pending_.clear();
        return tweaked_;
    }
    pending_.clear();
    MeshPtr out = addPointOffsets(node.scene(), pnts, base);
    tweaksValid_ = !connected && out && out != base;
    tweaked_ = tweaksValid_ ? out : nullptr;
    tweakedFrom_ = tweaksValid_ ? base->pointsVersion() : 0;
    return out;
}

// --- polyTweak ---------------------------------------------------------------------------------------

namespace {

class PolyTweakBehavior : public NodeBehavior {
public:
    ComputeStatus compute(Node& node, const Plug& plug) override {
        if (plug.attribute()->longName() != attr::kOutput) return ComputeStatus::Unknown;
        MeshPtr in = eval(node, attr::kInputPolymesh).asMesh();
        // nodeState "HasNoEffect" passes the input through.
        bool bypass = eval(node, "nodeState").asInt() == 1;
        MeshPtr out = bypass ? in : addPointOffsets(node.scene(), node.findPlug(attr::kTweak), in);
        node.setComputed(plug, out ? Value::mesh(out) : Value());
        return ComputeStatus::Done;
    }
};

// A polygon primitive creator: output is made from the node's own attributes.
class CreatorBehavior : public NodeBehavior {
public:
    explicit CreatorBehavior(std::function<Mesh(Node&)> make) : make_(std::move(make)) {}
    ComputeStatus compute(Node& node, const Plug& plug) override {
        if (plug.attribute()->longName() != attr::kOutput) return ComputeStatus::Unknown;
        node.setComputed(plug, Value::mesh(std::make_shared<Mesh>(make_(node))));
        return ComputeStatus::Done;
    }

private:
    std::function<Mesh(Node&)> make_;
};

NodeTypePtr creatorType(const std::string& name, unsigned id, int fnKind, const std::vector<AttrPtr>& inputs,
                        std::function<Mesh(Node&)> make) {
    auto t = std::make_shared<NodeType>(name, id, "dependNode", fnKind);
    AttrPtr out = outputMesh("output", "out");
    out->writable = false;
    t->addAttribute(out);
    for (auto& a : inputs) {
        a->keyable = true;
        t->addAttribute(a);
        t->addAffects(a.get(), out.get());
    }
    t->factory = [make] { return std::make_unique<CreatorBehavior>(make); };
    return t;
}

AttrPtr distance(const std::string& ln, const std::string& sn, double def) {
    AttrPtr a = Attribute::numeric(ln, sn, NumericType::Double, def);
    a->setUnit(AttrUnit::Distance);
    return a;
}

}  // namespace

void registerBuiltinTypes(NodeTypeRegistry& registry) {
    // dependNode: the base of everything.
    auto dep = std::make_shared<NodeType>("dependNode", fourcc("DPND"), "", fn::kDependencyNode);
    dep->addAttribute(Attribute::message(attr::kMessage, "msg"));
    {
        AttrPtr caching = Attribute::numeric("caching", "cch", NumericType::Boolean, 0);
        dep->addAttribute(caching);
        dep->addAttribute(Attribute::enumAttr("nodeState", "state", 0,
                                              {{"Normal", 0},
                                               {"HasNoEffect", 1},
                                               {"Blocking", 2},
                                               {"Waiting-Normal", 8},
                                               {"Waiting-HasNoEffect", 9},
                                               {"Waiting-Blocking", 10}}));
        dep->addAttribute(Attribute::numeric("isHistoricallyInteresting", "ihi", NumericType::Byte, 2));
    }
    registry.add(dep);

    // dagNode: visibility, intermediate objects and the matrices of the DAG.
    auto dag = std::make_shared<NodeType>("dagNode", fourcc("DAGN"), "dependNode", fn::kDagNode);
    {
        AttrPtr vis = Attribute::numeric(attr::kVisibility, "v", NumericType::Boolean, 1);
        vis->keyable = true;
        dag->addAttribute(vis);
        dag->addAttribute(Attribute::numeric(attr::kIntermediateObject, "io", NumericType::Boolean, 0));
        dag->addAttribute(Attribute::numeric("template", "tmp", NumericType::Boolean, 0));
        AttrPtr m = Attribute::matrix(attr::kMatrix, "m");
        m->storable = false;
        m->writable = false;
        AttrPtr im = Attribute::matrix("inverseMatrix", "im");
        im->storable = false;
        im->writable = false;
        AttrPtr wm = matrixArray(attr::kWorldMatrix, "wm");
        AttrPtr wim = matrixArray("worldInverseMatrix", "wim");
        AttrPtr pm = matrixArray(attr::kParentMatrix, "pm");
        AttrPtr pim = matrixArray("parentInverseMatrix", "pim");
        for (auto& a : {m, im, wm, wim, pm, pim}) dag->addAttribute(a);
        dag->addAffects(m.get(), im.get());
        dag->addAffects(m.get(), wm.get());
        dag->addAffects(pm.get(), wm.get());
        dag->addAffects(pm.get(), pim.get());
        dag->addAffects(wm.get(), wim.get());
        dag->markComputed(m.get());
        dag->markComputed(pm.get());
    }
    dag->factory = [] { return std::make_unique<DagBehavior>(); };
    registry.add(dag);

    // transform
    auto xf = std::make_shared<NodeType>("transform", fourcc("XFRM"), "dagNode", fn::kTransform);
    {
        AttrPtr t = double3("translate", "t", "translate", "t", 0, AttrUnit::Distance);
        AttrPtr r = double3("rotate", "r", "rotate", "r", 0, AttrUnit::Angle);
        AttrPtr s = double3("scale", "s", "scale", "s", 1, AttrUnit::None);
        AttrPtr ro = Attribute::enumAttr(
            "rotateOrder", "ro", 0, {{"xyz", 0}, {"yzx", 1}, {"zxy", 2}, {"xzy", 3}, {"yxz", 4}, {"zyx", 5}});
        AttrPtr rp = double3("rotatePivot", "rp", "rotatePivot", "rp", 0, AttrUnit::Distance);
        AttrPtr sp = double3("scalePivot", "sp", "scalePivot", "sp", 0, AttrUnit::Distance);
        AttrPtr rpt =
            double3("rotatePivotTranslate", "rpt", "rotatePivotTranslate", "rpt", 0, AttrUnit::Distance);
        AttrPtr spt =
            double3("scalePivotTranslate", "spt", "scalePivotTranslate", "spt", 0, AttrUnit::Distance);
        for (auto& a : {rp, sp, rpt, spt}) {
            a->keyable = false;
            for (auto& c : a->children()) c->keyable = false;
        }
        AttrPtr xm = Attribute::matrix("xformMatrix", "xm");
        xm->writable = false;
        for (auto& a : {t, r, s, ro, rp, sp, rpt, spt, xm}) xf->addAttribute(a);
        AttrPtr m = dag->findAttribute(attr::kMatrix);
        AttrPtr im = dag->findAttribute("inverseMatrix");
        for (auto& a : {t, r, s, ro, rp, sp, rpt, spt}) {
            xf->addAffects(a.get(), m.get());
            xf->addAffects(a.get(), xm.get());
            xf->addAffects(a.get(), im.get());
        }
    }
    xf->factory = [] { return std::make_unique<TransformBehavior>(); };
    registry.add(xf);

    // shape: the abstract base of DAG leaves.
    auto shape = std::make_shared<NodeType>("shape", fourcc("SHAP"), "dagNode", fn::kShape);
    shape->factory = [] { return std::make_unique<DagBehavior>(); };
    registry.add(shape);

    // locator: the base of locator shapes (plug-in locators derive from it). worldPosition[0] is
    // localPosition carried to world space by worldMatrix[0].
    auto loc = std::make_shared<NodeType>("locator", fourcc("LOCA"), "shape", fn::kLocator);
    {
        AttrPtr lp = double3("localPosition", "lp", "localPosition", "lp", 0, AttrUnit::Distance);
        AttrPtr ls = double3("localScale", "los", "localScale", "ls", 1, AttrUnit::None);
        AttrPtr uwo = Attribute::numeric("underWorldObject", "uwo", NumericType::Boolean, 0);
        uwo->writable = false;
        uwo->storable = false;
        AttrPtr wp = double3("worldPosition", "wp", "worldPosition", "wp", 0, AttrUnit::Distance);
        wp->array = true;
        wp->keyable = false;
        wp->writable = false;
        wp->storable = false;
        for (auto& c : wp->children()) c->keyable = false;
        for (auto& a : {lp, ls, uwo, wp}) loc->addAttribute(a);
        loc->addAffects(lp.get(), wp.get());
        loc->addAffects(dag->findAttribute(attr::kWorldMatrix).get(), wp.get());
    }
    loc->factory = [] { return std::make_unique<LocatorBehavior>(); };
    loc->defaultName = "locatorShape";
    registry.add(loc);

    // mesh
    auto mesh = std::make_shared<NodeType>("mesh", fourcc("DMSH"), "shape", fn::kMesh);
    {
        AttrPtr in = meshAttr(attr::kInMesh, "i");
        in->storable = false;
        AttrPtr out = outputMesh(attr::kOutMesh, "o");
        AttrPtr wmesh = outputMesh(attr::kWorldMesh, "w");
        wmesh->array = true;
        wmesh->writable = false;
        AttrPtr cached = meshAttr(attr::kCachedInMesh, "ci");
        cached->hidden = true;
        cached->internal = true;
        AttrPtr edits = meshAttr(attr::kMeshEdits, "kxhme");
        edits->hidden = true;
        edits->internal = true;
        AttrPtr pnts = float3Array(attr::kPnts, "pt", {{"pntx", "px"}, {"pnty", "py"}, {"pntz", "pz"}});
        pnts->keyable = true;
        AttrPtr dc = Attribute::numeric("displayColors", "dc", NumericType::Boolean, 0);
        AttrPtr cuv =
            Attribute::typed("currentUVSet", "cuvs", DataKind::String, std::make_shared<StringData>("map1"));
        for (auto& a : {in, out, wmesh, cached, edits, pnts, dc, cuv}) mesh->addAttribute(a);
        for (auto& a : {in, cached, edits, pnts}) {
            mesh->addAffects(a.get(), out.get());
            mesh->addAffects(a.get(), wmesh.get());
        }
        mesh->addAffects(out.get(), wmesh.get());
        mesh->addAffects(dag->findAttribute(attr::kWorldMatrix).get(), wmesh.get());
    }
    mesh->factory = [] { return std::make_unique<MeshBehavior>(); };
    mesh->defaultName = "polySurfaceShape";
    registry.add(mesh);

    // polyTweak: output = inputPolymesh + tweak[i]
    auto tweak = std::make_shared<NodeType>("polyTweak", fourcc("PTWK"), "dependNode", fn::kPolyTweak);
    {
        AttrPtr ip = meshAttr(attr::kInputPolymesh, "ip");
        ip->storable = false;
        AttrPtr out = outputMesh(attr::kOutput, "out");
        AttrPtr tk = float3Array(attr::kTweak, "tk", {{"tweakX", "tx"}, {"tweakY", "ty"}, {"tweakZ", "tz"}});
        for (auto& a : {ip, out, tk}) tweak->addAttribute(a);
        tweak->addAffects(ip.get(), out.get());
        tweak->addAffects(tk.get(), out.get());
        tweak->addAffects(dep->findAttribute("nodeState").get(), out.get());
    }
    tweak->factory = [] { return std::make_unique<PolyTweakBehavior>(); };
    registry.add(tweak);

    // objectSet: members by message connections.
    auto set = std::make_shared<NodeType>("objectSet", fourcc("OBJS"), "dependNode", fn::kSet);
    {
        AttrPtr dsm = Attribute::message("dagSetMembers", "dsm");
        dsm->array = true;
        dsm->indexMatters = false;
        AttrPtr dnsm = Attribute::message("dnSetMembers", "dnsm");
        dnsm->array = true;
        dnsm->indexMatters = false;
        set->addAttribute(dsm);
        set->addAttribute(dnsm);
        set->addAttribute(Attribute::typed("annotation", "an", DataKind::String));
    }
    registry.add(set);

    // Primitive creators.
    auto subdiv = [](const std::string& ln, const std::string& sn, int def) {
        return Attribute::numeric(ln, sn, NumericType::Int, def);
    };
    registry.add(creatorType(
        "polyCube", fourcc("PCUB"), fn::kPolyCube,
        {distance("width", "w", 1), distance("height", "h", 1), distance("depth", "d", 1),
         subdiv("subdivisionsWidth", "sw", 1), subdiv("subdivisionsHeight", "sh", 1),
         subdiv("subdivisionsDepth", "sd", 1)},
        [](Node& n) {
            return cube(eval(n, "width").asDouble(), eval(n, "height").asDouble(),
                        eval(n, "depth").asDouble(), eval(n, "subdivisionsWidth").asInt(),
                        eval(n, "subdivisionsHeight").asInt(), eval(n, "subdivisionsDepth").asInt());
        }));
    registry.add(creatorType(
        "polyPlane", fourcc("PPLN"), fn::kPolyPlane,
        {distance("width", "w", 1), distance("height", "h", 1), subdiv("subdivisionsWidth", "sw", 10),
         subdiv("subdivisionsHeight", "sh", 10), double3("axis", "ax", "axis", "ax", 0, AttrUnit::None)},
        [](Node& n) {
            V3 axis = evalV3(n, "axis");
            if (axis.x == 0 && axis.y == 0 && axis.z == 0) axis = V3{0, 1, 0};
            return plane(eval(n, "width").asDouble(), eval(n, "height").asDouble(),
                         eval(n, "subdivisionsWidth").asInt(), eval(n, "subdivisionsHeight").asInt(), axis);
        }));
    registry.add(creatorType("polySphere", fourcc("PSPH"), fn::kPolySphere,
                             {distance("radius", "r", 1), subdiv("subdivisionsAxis", "sa", 20),
                              subdiv("subdivisionsHeight", "sh", 20)},
                             [](Node& n) {
                                 return sphere(eval(n, "radius").asDouble(),
                                               eval(n, "subdivisionsAxis").asInt(),
                                               eval(n, "subdivisionsHeight").asInt());
                             }));
    registerPolyModifierTypes(registry);
}

}  // namespace kxh
