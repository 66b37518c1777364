// History nodes of the host's live polygon edits: polyExtrudeFace (made by polyExtrudeFacet) and polyBevel.
// Its output is its input mesh with the edit applied, recomputed whenever an input plug changes, so setting a
// plug (localTranslateZ while dragging) re-evaluates the node and the shape it feeds.
#include "graph/core/GraphMath.h"
#include "graph/core/Node.h"
#include "graph/core/NodeType.h"
#include "graph/core/Scene.h"
#include "mesh/ops/BevelEdges.h"
#include "mesh/ops/ExtrudeFaces.h"

namespace kxh {

namespace {

constexpr unsigned fourcc(const char (&s)[5]) {
    return (unsigned(s[0]) << 24) | (unsigned(s[1]) << 16) | (unsigned(s[2]) << 8) | unsigned(s[3]);
}
constexpr int kPolyExtrudeFacetFn = 1026;  // MFn::kPolyExtrudeFacet (maya/detail/MFnTypeList.h)

Value evalPlug(Node& n, const std::string& name) {
    Plug p = n.findPlug(name);
    return p.isNull() ? Value() : n.scene().evaluate(p);
}

// The ids of one kind in a component list value.
std::vector<int> componentIds(const Value& v, ComponentKind kind) {
    std::vector<int> ids;
    if (auto list = v.dataAs<ComponentListData>())
        for (const Component& c : list->value)
            if (c.kind == kind) ids.insert(ids.end(), c.ids.begin(), c.ids.end());
    return ids;
}

// The extrusion is made once per input mesh, face list and layout (faces kept together, divisions); a
// localTranslateZ change (every drag event) copies that result and moves only the vertices the extrusion
// moves, so a live drag costs a copy of the flat arrays and the moved points, not a new extrusion.
class ExtrudeFaceBehavior : public NodeBehavior {
public:
    ComputeStatus compute(Node& node, const Plug& plug) override {
        if (plug.attribute()->longName() != attr::kOutput) return ComputeStatus::Unknown;
        MeshPtr in = evalPlug(node, attr::kInputPolymesh).asMesh();
        MeshPtr out = in;
        if (in && evalPlug(node, "nodeState").asInt() != 1) {  // 1: HasNoEffect passes the input through
            ops::ExtrudeOptions o;
            o.localTranslateZ = evalPlug(node, "localTranslateZ").asDouble();
            o.keepFacesTogether = evalPlug(node, "keepFacesTogether").asBool();
            o.divisions = evalPlug(node, "divisions").asInt();
            o.smoothingAngle = evalPlug(node, "smoothingAngle").asDouble();
            o.twist = evalPlug(node, "twist").asDouble();
            o.taper = evalPlug(node, "taper").asDouble();
            o.offset = evalPlug(node, "offset").asDouble();
            const bool plainLift = o.twist == 0 && o.taper == 1 && o.offset == 0;
            std::vector<int> faces = componentIds(evalPlug(node, "inputComponents"), ComponentKind::Face);
            if (plainLift && cache_.extruded && cache_.in == in &&
                cache_.pointsVersion == in->pointsVersion() &&
                cache_.topologyVersion == in->topologyVersion() && cache_.faces == faces &&
                cache_.keepFacesTogether == o.keepFacesTogether && cache_.divisions == o.divisions &&
                cache_.motion.smoothingAngle == o.smoothingAngle) {
                auto mesh = std::make_shared<Mesh>(*cache_.extruded);
                ops::moveExtruded(*mesh, cache_.motion, o.localTranslateZ);
                out = mesh;
            } else {
                auto mesh = std::make_shared<Mesh>(*in);
                ops::ExtrudeMotion motion;
                ops::extrudeFaces(*mesh, faces, o, &motion);
                // With twist, taper or offset there is nothing to replay: each change extrudes again.
                cache_ = plainLift ? Cache{in,
                                           in->pointsVersion(),
                                           in->topologyVersion(),
                                           std::move(faces),
                                           o.keepFacesTogether,
                                           o.divisions,
                                           mesh,
                                           std::move(motion)}
                                   : Cache{};
                out = mesh;
            }
        }
        node.setComputed(plug, out ? Value::mesh(out) : Value());
        return ComputeStatus::Done;
    }

private:
    struct Cache {
        MeshPtr in;  // the input the extrusion was made from, and the versions of its data then
        std::uint64_t pointsVersion = 0, topologyVersion = 0;
        std::vector<int> faces;
        bool keepFacesTogether = true;
        int divisions = 1;
        MeshPtr extruded;  // never edited: each evaluation copies it
        ops::ExtrudeMotion motion;
    };
    Cache cache_;
};

// Like the extrusion, a bevel is kept while everything but its offset stays the same: an offset change
// (every drag event) copies it and moves only its new vertices, unless they would come close enough to
// weld (then the bevel is made again).
class BevelBehavior : public NodeBehavior {
public:
    ComputeStatus compute(Node& node, const Plug& plug) override {
        if (plug.attribute()->longName() != attr::kOutput) return ComputeStatus::Unknown;
        MeshPtr in = evalPlug(node, attr::kInputPolymesh).asMesh();
        MeshPtr out = in;
        if (in && evalPlug(node, "nodeState").asInt() != 1) {
            ops::BevelOptions o;
            o.offset = evalPlug(node, "offset").asDouble();
            o.segments = evalPlug(node, "segments").asInt();
            o.mergeTolerance = evalPlug(node, "mergeVertices").asBool()
                                   ? evalPlug(node, "mergeVertexTolerance").asDouble()
                                   : 0;
            o.smoothingAngle = evalPlug(node, "smoothingAngle").asDouble();
            o.autoFit = evalPlug(node, "autoFit").asBool();
            o.fillNgons = evalPlug(node, "fillNgons").asBool();
            if (evalPlug(node, "worldSpace").asBool()) {
                const Matrix44 m = evalPlug(node, "inputMatrix").asMatrix();
                o.worldSpace = !m.isIdentity();
                for (int r = 0; r < 3; ++r)
                    for (int c = 0; c < 3; ++c) o.toWorld[r][c] = m.m[r][c];
            }
            std::vector<int> edges = componentIds(evalPlug(node, "inputComponents"), ComponentKind::Edge);
            if (cache_.bevelled && cache_.in == in && cache_.pointsVersion == in->pointsVersion() &&
                cache_.topologyVersion == in->topologyVersion() && cache_.edges == edges &&
                sameLayout(cache_.motion.options, o)) {
                auto mesh = std::make_shared<Mesh>(*cache_.bevelled);
                if (ops::moveBevelled(*mesh, in->points, cache_.motion, o.offset)) {
                    node.setComputed(plug, Value::mesh(mesh));
                    return ComputeStatus::Done;
                }
            }
            if (o.offset == 0 && o.mergeTolerance > 0) {
                // The bevel leaves the mesh as it is (a press, before any drag): no copy either.
                node.setComputed(plug, Value::mesh(in));
                return ComputeStatus::Done;
            }
            auto mesh = std::make_shared<Mesh>(*in);
            ops::BevelMotion motion;
            ops::bevelEdges(*mesh, edges, o, &motion);
            cache_ = motion.recipes.empty()
                         ? Cache{}
                         : Cache{in,   in->pointsVersion(), in->topologyVersion(), std::move(edges),
                                 mesh, std::move(motion)};
            out = mesh;
        }
        node.setComputed(plug, out ? Value::mesh(out) : Value());
        return ComputeStatus::Done;
    }

private:
    static bool sameLayout(const ops::BevelOptions& a, const ops::BevelOptions& b) {
        if (a.segments != b.segments || a.mergeTolerance != b.mergeTolerance ||
            a.smoothingAngle != b.smoothingAngle || a.worldSpace != b.worldSpace || a.autoFit != b.autoFit ||
            a.fillNgons != b.fillNgons)
            return false;
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                if (a.toWorld[r][c] != b.toWorld[r][c]) return false;
        return true;
    }
    struct Cache {
        MeshPtr in;  // the input the bevel was made from, and the versions of its data then
        std::uint64_t pointsVersion = 0, topologyVersion = 0;
        std::vector<int> edges;
        MeshPtr bevelled;  // never edited: each evaluation copies it
        ops::BevelMotion motion;
    };
    Cache cache_;
};

AttrPtr number(const std::string& ln, const std::string& sn, NumericType type, double def,
               AttrUnit unit = AttrUnit::None) {
    AttrPtr a = Attribute::numeric(ln, sn, type, def);
    a->setUnit(unit);
    a->keyable = true;
    return a;
}

// A modifier type: output from inputPolymesh (which holds the mesh itself when nothing feeds it) and
// inputComponents, every input affecting the output.
NodeTypePtr modifierType(NodeTypeRegistry& registry, const std::string& name, unsigned id, int fnKind,
                         std::vector<AttrPtr> params) {
    auto t = std::make_shared<NodeType>(name, id, "dependNode", fnKind);
    AttrPtr in = Attribute::typed(attr::kInputPolymesh, "ip", DataKind::Mesh);
    in->storable = true;
    AttrPtr out = Attribute::typed(attr::kOutput, "out", DataKind::Mesh);
    out->storable = false;
    out->writable = false;
    AttrPtr ics = Attribute::typed("inputComponents", "ics", DataKind::ComponentList);
    ics->storable = true;
    params.insert(params.begin(), {in, ics});
    t->addAttribute(out);
    for (const AttrPtr& a : params) {
        t->addAttribute(a);
        t->addAffects(a.get(), out.get());
    }
    if (NodeTypePtr dep = registry.find("dependNode"))
        t->addAffects(dep->findAttribute("nodeState").get(), out.get());
    return t;
}

constexpr int kPolyBevelFn = 1028;  // MFn::kPolyBevel

}  // namespace

void registerPolyModifierTypes(NodeTypeRegistry& registry) {
    auto bevel =
        modifierType(registry, "polyBevel", fourcc("PBEV"), kPolyBevelFn,
                     {number("offset", "o", NumericType::Double, 0.2, AttrUnit::Distance),
                      number("segments", "sg", NumericType::Int, 1),
                      number("offsetAsFraction", "oaf", NumericType::Boolean, 0),
                      number("autoFit", "af", NumericType::Boolean, 1),
                      number("worldSpace", "ws", NumericType::Boolean, 0),
                      number("uvAssignment", "uva", NumericType::Int, 0),
                      number("fillNgons", "fn", NumericType::Boolean, 0),
                      number("mergeVertices", "mv", NumericType::Boolean, 0),
                      number("mergeVertexTolerance", "mvt", NumericType::Double, 0, AttrUnit::Distance),
                      number("smoothingAngle", "sa", NumericType::Double, M_PI, AttrUnit::Angle),
                      number("miteringAngle", "ma", NumericType::Double, 0, AttrUnit::Angle),
                      number("angleTolerance", "at", NumericType::Double, 0, AttrUnit::Angle),
                      // The object-to-world matrix a world-space offset is measured with (the shape's
                      // worldMatrix feeds it).
                      Attribute::matrix("inputMatrix", "ix")});
    bevel->factory = [] { return std::make_unique<BevelBehavior>(); };
    registry.add(bevel);

    auto t = modifierType(registry, "polyExtrudeFace", fourcc("PEXF"), kPolyExtrudeFacetFn,
                          {number("localTranslateZ", "ltz", NumericType::Double, 0, AttrUnit::Distance),
                           number("keepFacesTogether", "kft", NumericType::Boolean, 1),
                           number("divisions", "d", NumericType::Int, 1),
                           number("offset", "off", NumericType::Double, 0, AttrUnit::Distance),
                           number("twist", "twt", NumericType::Double, 0, AttrUnit::Angle),
                           number("taper", "tp", NumericType::Double, 1),
                           number("smoothingAngle", "sma", NumericType::Double, M_PI, AttrUnit::Angle)});
    t->factory = [] { return std::make_unique<ExtrudeFaceBehavior>(); };
    registry.add(t);
}

}  // namespace kxh
