#include "Bench/Core/HostServices.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace bench {

namespace {
HostServices* active = nullptr;
}

HostServices& HostServices::Active() {
    return *active;
}

HostServices::HostServices(EventLog& eventLog) : log(eventLog) {
    namespace slot = fsx::slot;
    fsx::Install<slot::ElementQuery>(table, &HostServices::ElementQuery);
    fsx::Install<slot::ElementInstall>(table, &HostServices::ElementInstall);
    fsx::Install<slot::ElementInitialise>(table, &HostServices::ElementInitialise);
    fsx::Install<slot::ElementUpdate>(table, &HostServices::ElementUpdate);
    fsx::Install<slot::ElementGenerate>(table, &HostServices::ElementGenerate);
    fsx::Install<slot::ElementPlot>(table, &HostServices::ElementPlot);
    fsx::Install<slot::ElementKill>(table, &HostServices::ElementKill);
    fsx::Install<slot::TriggerKeyEvent>(table, &HostServices::TriggerKeyEvent);
    fsx::Install<slot::TriggerKeyEvent2>(table, &HostServices::TriggerKeyEvent2);
    fsx::Install<slot::InitializeVar>(table, &HostServices::InitializeVar);
    fsx::Install<slot::LookupVar>(table, &HostServices::LookupVar);
    fsx::Install<slot::UnregisterVarByName>(table, &HostServices::UnregisterVarByName);
    fsx::Install<slot::PanelWindow>(table, &HostServices::PanelWindow);
    fsx::Install<slot::CheckNamedVariable>(table, &HostServices::CheckNamedVariable);
    fsx::Install<slot::RegisterNamedVariable>(table, &HostServices::RegisterNamedVariable);
    fsx::Install<slot::GetNamedVariableTypedValue>(table,
                                                   &HostServices::GetNamedVariableTypedValue);
    fsx::Install<slot::SetNamedVariableTypedValue>(table,
                                                   &HostServices::SetNamedVariableTypedValue);
    fsx::Install<slot::GetNamedVariableName>(table, &HostServices::GetNamedVariableName);
    fsx::Install<slot::GetUnitsEnum>(table, &HostServices::GetUnitsEnum);
    fsx::Install<slot::GetAircraftVarEnum>(table, &HostServices::GetAircraftVarEnum);
    fsx::Install<slot::AircraftVarget>(table, &HostServices::AircraftVarget);
    fsx::Install<slot::RegisterKeyEventHandler>(table, &HostServices::RegisterKeyEventHandler);
    fsx::Install<slot::UnregisterKeyEventHandler>(table, &HostServices::UnregisterKeyEventHandler);
    // Room for a busy tick without growing on the hot path.
    triggered.reserve(64);
    delivering.reserve(64);
    namedVars.reserve(512);
    active = this;
}

HostServices::~HostServices() {
    if (active == this) {
        active = nullptr;
    }
}

// ---- gauge variables ---------------------------------------------------------------------------

double HostServices::Token(std::uint32_t token) const {
    return token < tokens.size() ? tokens[token] : 0.0;
}

void HostServices::SetToken(std::uint32_t token, double value) {
    if (token < tokens.size()) {
        tokens[token] = value;
    }
}

void ZV_STDCALL HostServices::InitializeVar(fsx::ModuleVar* var) {
    if (var == nullptr) {
        return;
    }
    var->valuePointer = nullptr;
    var->valueType = 0;
    var->value = Active().Token(var->id);
    var->previous = var->value;
}

void ZV_STDCALL HostServices::LookupVar(fsx::ModuleVar* var) {
    if (var == nullptr) {
        return;
    }
    var->previous = var->value;
    var->value = Active().Token(var->id);
}

// ---- units and aircraft variables ---------------------------------------------------------------

namespace {
std::uint32_t IdIn(std::vector<std::string>& names, std::string_view name) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) {
            return static_cast<std::uint32_t>(i + 1);
        }
    }
    names.emplace_back(name);
    return static_cast<std::uint32_t>(names.size());
}
} // namespace

std::uint32_t HostServices::UnitId(std::string_view unit) {
    return IdIn(unitNames, unit);
}

std::uint32_t HostServices::AircraftVarId(std::string_view name) {
    return IdIn(aircraftVarNames, name);
}

double HostServices::AircraftVar(std::string_view name, std::string_view unit,
                                 std::uint32_t index) {
    const auto it = aircraftVars.find({AircraftVarId(name), UnitId(unit), index});
    return it != aircraftVars.end() ? it->second : 0.0;
}

void HostServices::SetAircraftVar(std::string_view name, std::string_view unit, std::uint32_t index,
                                  double value) {
    SetAircraftVar(AircraftVarId(name), UnitId(unit), index, value);
}

void HostServices::SetAircraftVar(std::uint32_t variable, std::uint32_t unit, std::uint32_t index,
                                  double value) {
    aircraftVars[{variable, unit, index}] = value;
}

std::uint32_t ZV_STDCALL HostServices::GetUnitsEnum(const char* unit) {
    return unit != nullptr ? Active().UnitId(unit) : fsx::kInvalidId;
}

std::uint32_t ZV_STDCALL HostServices::GetAircraftVarEnum(const char* name) {
    return name != nullptr ? Active().AircraftVarId(name) : fsx::kInvalidId;
}

double ZV_STDCALL HostServices::AircraftVarget(std::uint32_t var, std::uint32_t units,
                                               std::uint32_t index) {
    const auto& vars = Active().aircraftVars;
    const auto it = vars.find({var, units, index});
    return it != vars.end() ? it->second : 0.0;
}

// ---- named variables ----------------------------------------------------------------------------

std::uint32_t HostServices::FindNamed(std::string_view name) const {
    for (std::size_t i = 0; i < namedVars.size(); ++i) {
        if (namedVars[i].live && namedVars[i].name == name) {
            return static_cast<std::uint32_t>(i);
        }
    }
    return fsx::kInvalidId;
}

std::uint32_t HostServices::RegisterNamed(std::string_view name) {
    for (std::size_t i = 0; i < namedVars.size(); ++i) {
        if (namedVars[i].name == name) {
            if (!namedVars[i].live) {
                namedVars[i].live = true;
                namedVars[i].value = 0.0;
            }
            return static_cast<std::uint32_t>(i);
        }
    }
    namedVars.push_back(NamedVar{std::string(name), 0.0, true});
    return static_cast<std::uint32_t>(namedVars.size() - 1);
}

std::optional<double> HostServices::NamedValue(std::string_view name) const {
    const std::uint32_t id = FindNamed(name);
    if (id == fsx::kInvalidId) {
        return std::nullopt;
    }
    return namedVars[id].value;
}

void HostServices::SetNamedValue(std::string_view name, double value) {
    namedVars[RegisterNamed(name)].value = value;
}

std::uint32_t ZV_STDCALL HostServices::CheckNamedVariable(const char* name) {
    return name != nullptr ? Active().FindNamed(name) : fsx::kInvalidId;
}

std::uint32_t ZV_STDCALL HostServices::RegisterNamedVariable(const char* name) {
    return name != nullptr ? Active().RegisterNamed(name) : fsx::kInvalidId;
}

double ZV_STDCALL HostServices::GetNamedVariableTypedValue(std::uint32_t id, std::uint32_t) {
    const auto& vars = Active().namedVars;
    return id < vars.size() && vars[id].live ? vars[id].value : 0.0;
}

void ZV_STDCALL HostServices::SetNamedVariableTypedValue(std::uint32_t id, double value,
                                                         std::uint32_t) {
    auto& vars = Active().namedVars;
    if (id < vars.size() && vars[id].live) {
        vars[id].value = value;
    }
}

const char* ZV_STDCALL HostServices::GetNamedVariableName(std::uint32_t id) {
    const auto& vars = Active().namedVars;
    return id < vars.size() ? vars[id].name.c_str() : nullptr;
}

void ZV_STDCALL HostServices::UnregisterVarByName(const char* name) {
    if (name == nullptr) {
        return;
    }
    HostServices& host = Active();
    const std::uint32_t id = host.FindNamed(name);
    if (id != fsx::kInvalidId) {
        host.namedVars[id].live = false;
    }
}

// ---- key events ---------------------------------------------------------------------------------

void HostServices::TriggerKey(const char* type, std::uint32_t id, std::uint32_t value) {
    log.Write(type, {Field::Int("id", id), Field::Int("value", value)});
    if (triggered.size() < triggered.capacity()) {
        triggered.push_back({id, value});
    } else {
        std::fprintf(stderr, "bench: more than %zu key events in one step; 0x%X dropped\n",
                     triggered.capacity(), id);
    }
}

fsx::Word ZV_STDCALL HostServices::TriggerKeyEvent(std::uint32_t id, std::uint32_t value) {
    Active().TriggerKey("key", id, value);
    return 0;
}

fsx::Word ZV_STDCALL HostServices::TriggerKeyEvent2(std::uint32_t id, std::uint32_t value) {
    Active().TriggerKey("key2", id, value);
    return 0;
}

void HostServices::DeliverKeyEvent(std::uint32_t id, std::uint32_t value) {
    if (keyAnswer) {
        keyAnswer(id, value);
    }
    // Index walk: a handler may unregister (and so shrink the list) while being called.
    for (std::size_t i = 0; i < keyHandlers.size(); ++i) {
        const KeyHandler h = keyHandlers[i];
        h.handler(id, value, h.user);
    }
}

void HostServices::DeliverTriggeredKeyEvents() {
    delivering.swap(triggered);
    for (const KeyEvent& e : delivering) {
        DeliverKeyEvent(e.id, e.value);
    }
    delivering.clear();
}

std::size_t HostServices::DropKeyHandlers() {
    const std::size_t n = keyHandlers.size();
    keyHandlers.clear();
    triggered.clear();
    return n;
}

void ZV_STDCALL HostServices::RegisterKeyEventHandler(fsx::KeyEventHandler handler, void* user) {
    if (handler != nullptr) {
        Active().keyHandlers.push_back({handler, user});
    }
}

void ZV_STDCALL HostServices::UnregisterKeyEventHandler(fsx::KeyEventHandler handler, void* user) {
    auto& handlers = Active().keyHandlers;
    for (auto it = handlers.begin(); it != handlers.end(); ++it) {
        if (it->handler == handler && it->user == user) {
            handlers.erase(it);
            return;
        }
    }
}

fsx::Word ZV_STDCALL HostServices::PanelWindow(std::uint32_t ident) {
    Active().log.Write("panel_window", {Field::Int("ident", ident)});
    return 1;
}

// ---- the 2D panel -------------------------------------------------------------------------------

namespace {

constexpr std::size_t kMaxElements = 4096;

PanelTextStyle CopyStyle(const fsx::TextStyle& source) {
    PanelTextStyle style;
    style.width = source.width;
    style.height = source.height;
    style.textColour = source.textColour;
    style.backgroundColour = source.backgroundColour;
    style.highlightColour = source.highlightColour;
    if (source.fontName != nullptr) {
        std::strncpy(style.font.data(), source.fontName, style.font.size() - 1);
    }
    style.fontWeight = source.fontWeight;
    style.charSet = source.charSet;
    style.alignment = source.alignment;
    style.characters = source.characters;
    return style;
}

} // namespace

void HostServices::SetGauge(const fsx::GaugeHeader* gauge) {
    panel = gauge;
    panelDrawn = false;
    for (PanelElement& p : panelFrame) {
        p.styleSource = nullptr; // another module's records may sit at the same address
    }
}

// The host's draw: each element's callback gives its value and may change its hidden bit and
// its text; the host keeps what it drew.
void HostServices::DrawElements(fsx::ElementHeader* first) {
    // The chain is the module's; a cycle would hang the host, so the walk is bounded.
    std::size_t n = 0;
    for (fsx::ElementHeader* e = first; e != nullptr && n < kMaxElements; e = e->child, ++n) {
        const double value = e->callback != nullptr ? e->callback(e) : 0.0;
        if (n == panelFrame.size()) {
            panelFrame.emplace_back();
        }
        PanelElement& p = panelFrame[n];
        p.kind = e->kind;
        p.bitmap = e->bitmap;
        p.position = e->position;
        p.imageFlags = e->imageFlags;
        p.windowBitmap = e->windowBitmap;
        p.hasCallback = e->callback != nullptr;
        p.value = value;
        p.isText = e->kind == fsx::ElementKind::Text && e->text != nullptr;
        p.text[0] = '\0';
        if (p.isText) {
            const std::size_t room =
                std::min<std::size_t>(static_cast<std::size_t>(e->textCapacity), p.text.size() - 1);
            const char* end = static_cast<const char*>(std::memchr(e->text, '\0', room));
            const std::size_t length =
                end != nullptr ? static_cast<std::size_t>(end - e->text) : room;
            std::memcpy(p.text.data(), e->text, length);
            p.text[length] = '\0';
        }
        if (e->textStyle != p.styleSource) {
            p.styleSource = e->textStyle;
            p.style = e->textStyle != nullptr ? CopyStyle(*e->textStyle) : PanelTextStyle{};
        }
    }
    panelFrame.resize(n);
    panelDrawn = true;
}

double HostServices::PanelValue(std::uint32_t number, ElementPart part) const {
    if (!panelDrawn || number == 0 || number > panelFrame.size()) {
        return std::nan("");
    }
    const PanelElement& p = panelFrame[number - 1];
    switch (part) {
    case ElementPart::Value:
        return p.value;
    case ElementPart::Hidden:
        return p.Hidden() ? 1.0 : 0.0;
    case ElementPart::Text: {
        if (!p.isText) {
            return std::nan("");
        }
        char* end = nullptr;
        const double value = std::strtod(p.text.data(), &end);
        while (end != nullptr && *end == ' ') {
            ++end;
        }
        return end == p.text.data() || (end != nullptr && *end != '\0') ? std::nan("") : value;
    }
    }
    return std::nan("");
}

fsx::Word ZV_STDCALL HostServices::ElementQuery(fsx::ElementHeader*) {
    return 0;
}
fsx::Word ZV_STDCALL HostServices::ElementInstall(fsx::ElementHeader*, fsx::Word) {
    return 0;
}
fsx::Word ZV_STDCALL HostServices::ElementInitialise(fsx::ElementHeader* e) {
    Active().DrawElements(e);
    return 0;
}
fsx::Word ZV_STDCALL HostServices::ElementUpdate(fsx::ElementHeader* e) {
    Active().DrawElements(e);
    return 0;
}
fsx::Word ZV_STDCALL HostServices::ElementGenerate(fsx::ElementHeader*, fsx::Word) {
    return 0;
}
// The picture is made from the frame the last update recorded.
fsx::Word ZV_STDCALL HostServices::ElementPlot(fsx::ElementHeader*) {
    return 0;
}
fsx::Word ZV_STDCALL HostServices::ElementKill(fsx::ElementHeader*) {
    return 0;
}

bool HostServices::Mouse(std::int32_t x, std::int32_t y, std::uint32_t flags) {
    if (panel == nullptr || panel->mouseRects == nullptr) {
        return false;
    }
    struct Frame {
        std::int32_t x;
        std::int32_t y;
        bool inside;
    };
    Frame stack[32];
    int depth = 0;
    stack[0] = {0, 0, true};
    const fsx::MouseRect* best = nullptr;
    int bestDepth = -1;
    fsx::PixPoint bestOrigin{0, 0};

    auto contains = [x, y](std::int32_t bx, std::int32_t by, const fsx::PixBox& box) {
        if (box.w == 0 && box.h == 0) {
            return true; // a box without area does not limit what it holds
        }
        return x >= bx && y >= by && x < bx + box.w && y < by + box.h;
    };

    for (int i = 0; i < 4096; ++i) {
        const fsx::MouseRect& r = panel->mouseRects[i];
        if (r.type == fsx::MouseRectType::End) {
            break;
        }
        const std::int32_t bx = stack[depth].x + r.box.x;
        const std::int32_t by = stack[depth].y + r.box.y;
        switch (r.type) {
        case fsx::MouseRectType::Parent:
            if (depth + 1 < 32) {
                ++depth;
                stack[depth] = {bx, by, stack[depth - 1].inside && contains(bx, by, r.box)};
            }
            break;
        case fsx::MouseRectType::EndParent:
            depth = depth > 0 ? depth - 1 : 0;
            break;
        case fsx::MouseRectType::Child:
            // As the simulator does: a rectangle takes only the mouse events its flags name.
            if (stack[depth].inside && contains(bx, by, r.box) && r.callback != nullptr &&
                (r.flags & flags) != 0 && depth > bestDepth) {
                best = &r;
                bestDepth = depth;
                bestOrigin = {bx, by};
            }
            break;
        default:
            break;
        }
    }
    if (best == nullptr) {
        return false;
    }
    fsx::PixPoint relative{x - bestOrigin.x, y - bestOrigin.y};
    best->callback(&relative, flags);
    return true;
}

} // namespace bench
