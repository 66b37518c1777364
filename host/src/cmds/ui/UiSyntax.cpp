#include "cmds/ui/UiSyntax.h"

namespace kxh::ui {

using mel::ArgType;
using mel::Syntax;

namespace {

constexpr ArgType B = ArgType::Bool;
constexpr ArgType I = ArgType::Int;
constexpr ArgType F = ArgType::Float;
constexpr ArgType S = ArgType::String;

}  // namespace

// Flags every control, layout and window answers to. Most only store what they are given; the model has
// no pixels to apply them to, but scripts query them back.
void commonFlags(Syntax& s) {
    s.queryable = true;
    s.editable = true;
    s.maxObjects = 1;
    s.flag("ex", "exists")
        .flag("p", "parent", {S})
        .flag("w", "width", {I})
        .flag("h", "height", {I})
        .flag("ann", "annotation", {S})
        .flag("en", "enable", {B})
        .flag("vis", "visible", {B})
        .flag("m", "manage", {B})
        .flag("bgc", "backgroundColor", {F, F, F})
        .flag("ebg", "enableBackground", {B})
        .flag("nbg", "noBackground", {B})
        .flag("hlc", "highlightColor", {F, F, F})
        .flag("dt", "defineTemplate", {S})
        .flag("ut", "useTemplate", {S})
        .flag("dtg", "docTag", {S})
        .flag("io", "isObscured")
        .flag("fpn", "fullPathName")
        .flag("npm", "numberOfPopupMenus")
        .flag("pma", "popupMenuArray")
        .flag("po", "preventOverride", {B})
        .flag("sbm", "statusBarMessage", {S})
        .flag("ekf", "enableKeyboardFocus", {B})
        .flag("dgc", "dragCallback", {S})
        .flag("dpc", "dropCallback", {S})
        .flag("vcc", "visibleChangeCommand", {S});
}

void layoutFlags(Syntax& s) {
    commonFlags(s);
    s.flag("ca", "childArray").flag("nch", "numberOfChildren");
}

namespace {

// rowLayout and the slider groups share the per-column flags ("-cw2 60 120", "-cal 1 right").
void columnFlags(Syntax& s, int maxColumns) {
    s.flag("cw", "columnWidth", {I, I}, true)
        .flag("cat", "columnAttach", {I, S, I}, true)
        .flag("cal", "columnAlign", {I, S}, true)
        .flag("co", "columnOffset", {I, S, I}, true)
        .flag("rat", "rowAttach", {I, S, I}, true)
        .flag("adj", "adjustableColumn", {I});
    for (int n = 1; n <= maxColumns; ++n) {
        std::string k = std::to_string(n);
        std::vector<ArgType> ints(n, I), strs(n, S);
        s.flag("cw" + k, "columnWidth" + k, ints)
            .flag("ct" + k, "columnAttach" + k, strs)
            .flag("co" + k, "columnOffset" + k, ints)
            .flag("cl" + k, "columnAlign" + k, strs)
            .flag("ad" + k, "adjustableColumn" + k, {I});
    }
}

void sliderGroupFlags(Syntax& s, ArgType num) {
    commonFlags(s);
    columnFlags(s, 4);
    s.flag("l", "label", {S})
        .flag("f", "field", {B})
        .flag("v", "value", {num})
        .flag("min", "minValue", {num})
        .flag("max", "maxValue", {num})
        .flag("fmn", "fieldMinValue", {num})
        .flag("fmx", "fieldMaxValue", {num})
        .flag("s", "step", {num})
        .flag("ss", "sliderStep", {num})
        .flag("fs", "fieldStep", {num})
        .flag("el", "extraLabel", {S})
        .flag("cc", "changeCommand", {S})
        .flag("dc", "dragCommand", {S});
    if (num == F) s.flag("pre", "precision", {I});
}

}  // namespace

std::shared_ptr<Syntax> syntaxFor(Kind kind) {
    auto s = std::make_shared<Syntax>();
    switch (kind) {
        case Kind::Window:
            commonFlags(*s);
            s->flag("t", "title", {S})
                .flag("wh", "widthHeight", {I, I})
                .flag("tlc", "topLeftCorner", {I, I})
                .flag("le", "leftEdge", {I})
                .flag("te", "topEdge", {I})
                .flag("s", "sizeable", {B})
                .flag("rtf", "resizeToFitChildren", {B})
                .flag("mb", "menuBar", {B})
                .flag("mbv", "menuBarVisible", {B})
                .flag("mnb", "minimizeButton", {B})
                .flag("mxb", "maximizeButton", {B})
                .flag("tb", "titleBar", {B})
                .flag("tlb", "toolbox", {B})
                .flag("ret", "retain")
                .flag("i", "iconify", {B})
                .flag("in", "iconName", {S})
                .flag("ip", "interactivePlacement")
                .flag("cc", "closeCommand", {S})
                .flag("ma", "menuArray")
                .flag("nm", "numberOfMenus")
                .flag("mw", "mainWindow", {B})
                .flag("fw", "frontWindow")
                .flag("nde", "nestedDockingEnabled", {B});
            break;
        case Kind::ColumnLayout:
            layoutFlags(*s);
            s->flag("adj", "adjustableColumn", {B})
                .flag("cat", "columnAttach", {S, I})
                .flag("cal", "columnAlign", {S})
                .flag("co", "columnOffset", {S, I})
                .flag("cw", "columnWidth", {I})
                .flag("rs", "rowSpacing", {I});
            break;
        case Kind::RowLayout:
            layoutFlags(*s);
            columnFlags(*s, 6);
            s->flag("nc", "numberOfColumns", {I});
            break;
        case Kind::FrameLayout:
            layoutFlags(*s);
            s->flag("l", "label", {S})
                .flag("cll", "collapsable", {B})
                .flag("cl", "collapse", {B})
                .flag("bs", "borderStyle", {S})
                .flag("bv", "borderVisible", {B})
                .flag("mw", "marginWidth", {I})
                .flag("mh", "marginHeight", {I})
                .flag("lv", "labelVisible", {B})
                .flag("li", "labelIndent", {I})
                .flag("lw", "labelWidth", {I})
                .flag("lal", "labelAlign", {S})
                .flag("fn", "font", {S})
                .flag("bgs", "backgroundShade", {B})
                .flag("cc", "collapseCommand", {S})
                .flag("ec", "expandCommand", {S})
                .flag("pcc", "preCollapseCommand", {S})
                .flag("pec", "preExpandCommand", {S});
            break;
        case Kind::FormLayout:
            // Attachments place children on screen; the model keeps only the last of each.
            layoutFlags(*s);
            s->flag("af", "attachForm", {S, S, I}, true)
                .flag("ac", "attachControl", {S, S, I, S}, true)
                .flag("ap", "attachPosition", {S, S, I, I}, true)
                .flag("an", "attachNone", {S, S}, true)
                .flag("aoc", "attachOppositeControl", {S, S, I, S}, true)
                .flag("aof", "attachOppositeForm", {S, S, I}, true)
                .flag("nd", "numberOfDivisions", {I});
            break;
        case Kind::ScrollLayout:
            layoutFlags(*s);
            s->flag("cr", "childResizable", {B})
                .flag("hst", "horizontalScrollBarThickness", {I})
                .flag("vst", "verticalScrollBarThickness", {I})
                .flag("mcw", "minChildWidth", {I})
                .flag("bv", "borderVisible", {B})
                .flag("rc", "resizeCommand", {S});
            break;
        case Kind::TabLayout:
            layoutFlags(*s);
            s->flag("tl", "tabLabel", {S, S}, true)
                .flag("tli", "tabLabelIndex", {I, S}, true)
                .flag("sti", "selectTabIndex", {I})
                .flag("st", "selectTab", {S})
                .flag("imw", "innerMarginWidth", {I})
                .flag("imh", "innerMarginHeight", {I})
                .flag("cr", "childResizable", {B})
                .flag("scr", "scrollable", {B})
                .flag("tv", "tabsVisible", {B})
                .flag("hst", "horizontalScrollBarThickness", {I})
                .flag("vst", "verticalScrollBarThickness", {I})
                .flag("cc", "changeCommand", {S})
                .flag("sc", "selectCommand", {S})
                .flag("psc", "preSelectCommand", {S});
            break;
        case Kind::Text:
            commonFlags(*s);
            s->flag("l", "label", {S})
                .flag("al", "align", {S})
                .flag("fn", "font", {S})
                .flag("ww", "wordWrap", {B})
                .flag("rs", "recomputeSize", {B})
                .flag("hl", "hyperlink", {B});
            break;
        case Kind::Button:
            commonFlags(*s);
            s->flag("l", "label", {S})
                .flag("c", "command", {S})
                .flag("al", "align", {S})
                .flag("rs", "recomputeSize", {B})
                .flag("aop", "actOnPress", {B});
            break;
        case Kind::Separator:
            commonFlags(*s);
            s->flag("st", "style", {S}).flag("hr", "horizontal", {B});
            break;
        case Kind::CheckBox:
            commonFlags(*s);
            s->flag("l", "label", {S})
                .flag("v", "value", {B})
                .flag("cc", "changeCommand", {S})
                .flag("onc", "onCommand", {S})
                .flag("ofc", "offCommand", {S})
                .flag("al", "align", {S})
                .flag("ed", "editable", {B})
                .flag("rs", "recomputeSize", {B});
            break;
        case Kind::IntField:
        case Kind::FloatField: {
            ArgType num = kind == Kind::IntField ? I : F;
            commonFlags(*s);
            s->flag("v", "value", {num})
                .flag("min", "minValue", {num})
                .flag("max", "maxValue", {num})
                .flag("s", "step", {num})
                .flag("ed", "editable", {B})
                .flag("cc", "changeCommand", {S})
                .flag("ec", "enterCommand", {S})
                .flag("dc", "dragCommand", {S})
                .flag("rfc", "receiveFocusCommand", {S});
            if (num == F) s->flag("pre", "precision", {I}).flag("tze", "showTrailingZeros", {B});
            break;
        }
        case Kind::IntSliderGrp:
            sliderGroupFlags(*s, I);
            break;
        case Kind::FloatSliderGrp:
            sliderGroupFlags(*s, F);
            break;
        case Kind::TextField:
            commonFlags(*s);
            s->flag("tx", "text", {S})
                .flag("pht", "placeholderText", {S})
                .flag("ed", "editable", {B})
                .flag("fn", "font", {S})
                .flag("fi", "fileName", {S})
                .flag("it", "insertText", {S})
                .flag("ip", "insertionPosition", {I})
                .flag("aie", "alwaysInvokeEnterCommandOnReturn", {B})
                .flag("dif", "drawInactiveFrame", {B})
                .flag("cc", "changeCommand", {S})
                .flag("ec", "enterCommand", {S})
                .flag("tcc", "textChangedCommand", {S})
                .flag("rfc", "receiveFocusCommand", {S});
            break;
        case Kind::RadioCollection:
            s->queryable = s->editable = true;
            s->maxObjects = 1;
            s->flag("ex", "exists")
                .flag("p", "parent", {S})
                .flag("gl", "global", {B})
                .flag("sl", "select", {S})
                .flag("cia", "collectionItemArray")
                .flag("nci", "numberOfCollectionItems")
                .flag("dt", "defineTemplate", {S})
                .flag("ut", "useTemplate", {S});
            break;
        case Kind::RadioMenuItemCollection:
            s->queryable = s->editable = true;
            s->maxObjects = 1;
            s->flag("ex", "exists")
                .flag("p", "parent", {S})
                .flag("gl", "global", {B})
                .flag("dt", "defineTemplate", {S})
                .flag("ut", "useTemplate", {S});
            break;
        case Kind::RadioButton:
            commonFlags(*s);
            s->flag("l", "label", {S})
                .flag("sl", "select")
                .flag("cl", "collection", {S})
                .flag("da", "data", {I})
                .flag("al", "align", {S})
                .flag("ed", "editable", {B})
                .flag("rs", "recomputeSize", {B})
                .flag("cc", "changeCommand", {S})
                .flag("onc", "onCommand", {S})
                .flag("ofc", "offCommand", {S});
            break;
        case Kind::OptionMenu:
            commonFlags(*s);
            s->flag("l", "label", {S})
                .flag("v", "value", {S})
                .flag("sl", "select", {I})
                .flag("ni", "numberOfItems")
                .flag("ill", "itemListLong")
                .flag("ils", "itemListShort")
                .flag("acc", "alwaysCallChangeCommand", {B})
                .flag("dai", "deleteAllItems")
                .flag("cc", "changeCommand", {S});
            break;
        case Kind::Menu:
        case Kind::PopupMenu:
            s->queryable = s->editable = true;
            s->maxObjects = 1;
            s->flag("ex", "exists")
                .flag("p", "parent", {S})
                .flag("l", "label", {S})
                .flag("en", "enable", {B})
                .flag("vis", "visible", {B})
                .flag("to", "tearOff", {B})
                .flag("pmc", "postMenuCommand", {S})
                .flag("pmo", "postMenuCommandOnce", {B})
                .flag("aob", "allowOptionBoxes", {B})
                .flag("hm", "helpMenu", {B})
                .flag("mn", "mnemonic", {S})
                .flag("fi", "familyImage", {S})
                .flag("ia", "itemArray")
                .flag("ni", "numberOfItems")
                .flag("dai", "deleteAllItems")
                .flag("dt", "defineTemplate", {S})
                .flag("ut", "useTemplate", {S})
                .flag("dtg", "docTag", {S})
                .flag("b", "button", {I})
                .flag("ctl", "ctrlModifier", {B})
                .flag("alt", "altModifier", {B})
                .flag("sh", "shiftModifier", {B})
                .flag("mm", "markingMenu", {B});
            break;
        case Kind::MenuItem:
            s->queryable = s->editable = true;
            s->maxObjects = 1;
            s->flag("ex", "exists")
                .flag("p", "parent", {S})
                .flag("l", "label", {S})
                .flag("c", "command", {S})
                .flag("cb", "checkBox", {B})
                .flag("rb", "radioButton", {B})
                .flag("cl", "collection", {S})
                .flag("sm", "subMenu", {B})
                .flag("d", "divider", {B})
                .flag("dl", "dividerLabel", {S})
                .flag("ob", "optionBox", {B})
                .flag("iob", "isOptionBox")
                .flag("en", "enable", {B})
                .flag("ann", "annotation", {S})
                .flag("i", "image", {S})
                .flag("ecr", "enableCommandRepeat", {B})
                .flag("to", "tearOff", {B})
                .flag("ia", "insertAfter", {S})
                .flag("stp", "sourceType", {S})
                .flag("bld", "boldFont", {B})
                .flag("itl", "italicized", {B})
                .flag("ke", "keyEquivalent", {S})
                .flag("mn", "mnemonic", {S})
                .flag("rp", "radialPosition", {S})
                .flag("da", "data", {I})
                .flag("pmc", "postMenuCommand", {S})
                .flag("ctl", "ctrlModifier", {B})
                .flag("alt", "altModifier", {B})
                .flag("sh", "shiftModifier", {B})
                .flag("dt", "defineTemplate", {S})
                .flag("ut", "useTemplate", {S})
                .flag("dtg", "docTag", {S});
            break;
    }
    return s;
}

}  // namespace kxh::ui
