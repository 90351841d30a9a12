// The host simulator's gauge-module interface: the records a gauge library exports and the
// panel-service table the host hands it. Shared by the module and by any host (the bench).
// On the simulator's own platform every word is 32 bits and every call a standard call; on the
// native build a word is pointer-sized so that the same records hold addresses.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && defined(__i386__)
#define ZV_STDCALL __stdcall
#else
#define ZV_STDCALL
#endif

namespace fsx {

using Word = std::uintptr_t;

constexpr std::uint32_t kInvalidId = 0xFFFFFFFFu;

struct PanelServiceTable;
struct ElementHeader;
struct GaugeHeader;

// ---- exported records ------------------------------------------------------------------------

struct ImportTableRecord {
    Word importId;               // 0x0F: the panel-service table
    PanelServiceTable* services; // filled by the host at load
    Word end[2];
};

using ModuleRoutine = void(ZV_STDCALL*)();

struct LinkageRecord {
    Word moduleId;
    ModuleRoutine initialise;
    ModuleRoutine deinitialise;
    Word flags;
    Word priority;
    Word interfaceVersion;
    GaugeHeader* gauges[2]; // null-terminated gauge table
};

constexpr Word kImportPanelServices = 0x0F;
constexpr Word kModuleId = 0x13;
constexpr Word kModuleInterfaceVersion = 0x900;
constexpr Word kGaugeHeaderVersion = 800;

// ---- gauge header ----------------------------------------------------------------------------

using GaugeRoutine = Word(ZV_STDCALL*)();
using GaugeRoutineArg = Word(ZV_STDCALL*)(Word argument);
using GaugeCallback = void(ZV_STDCALL*)(GaugeHeader* gauge, std::int32_t serviceId, Word extra);

struct PixPoint {
    std::int32_t x;
    std::int32_t y;
};

struct PixBox {
    std::int32_t x;
    std::int32_t y;
    std::int32_t w;
    std::int32_t h;
};

// Mouse flags as the host passes them.
constexpr std::uint32_t kMouseLeftSingle = 0x20000000u;
constexpr std::uint32_t kMouseWheelUp = 0x4000u;
constexpr std::uint32_t kMouseWheelDown = 0x2000u;

using MouseCallback = std::int32_t(ZV_STDCALL*)(PixPoint* relativePoint, std::uint32_t flags);

enum class MouseRectType : Word { End = 0, Parent = 1, Child = 2, EndParent = 3 };

// A flat list: Parent opens a box that holds what follows until its EndParent; a box is relative
// to its parent's; a parent of zero size does not limit its children. End closes the list.
struct MouseRect {
    MouseRectType type;
    PixBox box;
    Word cursor;
    Word helpId;
    Word flags;
    Word eventId;
    MouseCallback callback;
    Word apiData;
};

struct GaugeHeader {
    Word version;                      // 0
    const char* name;                  // 1
    ElementHeader* const* elementList; // 2: null-terminated
    GaugeRoutine query;                // 3
    GaugeRoutineArg install;           // 4
    GaugeRoutine initialise;           // 5
    GaugeRoutine update;               // 6
    GaugeRoutineArg generate;          // 7
    GaugeRoutine draw;                 // 8
    GaugeRoutine kill;                 // 9
    Word reserved10;                   // 10
    Word sizeMm;                       // 11
    Word reserved12to19[8];            // 12..19
    const MouseRect* mouseRects;       // 20
    GaugeCallback callback;            // 21
    Word reserved22to31[10];           // the rest of the host's header, all zero
};

// ---- panel elements --------------------------------------------------------------------------

enum class ElementKind : Word { StaticImage = 1, Icon = 2, Text = 3, Slider = 4, MovingImage = 5 };

constexpr Word kImageHidden = 0x40000000u;

using ElementCallback = double(ZV_STDCALL*)(ElementHeader* element);

// Colours are the host's: 0x00BBGGRR.
constexpr Word kTextCentreHorizontally = 0x1u;
constexpr Word kTextCentreVertically = 0x2u;
constexpr Word kTextSingleLine = 0x4u;

// How a text element draws its text inside its area.
struct TextStyle {
    std::int32_t width;
    std::int32_t height;
    std::uint32_t textColour;
    std::uint32_t backgroundColour;
    std::uint32_t highlightColour;
    const char* fontName;
    std::int32_t fontWeight;
    std::int32_t charSet;
    Word alignment; // kTextCentre... and kTextSingleLine
    std::int32_t characters;
};

// One element of the tree; `child` is the next element drawn. Text elements carry their buffer
// and style; a moving image is seen through its window bitmap. An image's value moves it: a
// slider by x pixels, a moving image's picture by x pixels to the left inside its window.
struct ElementHeader {
    ElementKind kind;
    Word bitmap;
    PixPoint position;
    Word imageFlags;
    ElementCallback callback;
    ElementHeader* child;
    char* text;
    Word textCapacity;
    Word windowBitmap;
    const TextStyle* textStyle;
};

// ---- gauge variables -------------------------------------------------------------------------

// The host's module-variable record: the host fills it on initialise and refreshes it on lookup.
struct ModuleVar {
    std::uint32_t id;
    void* valuePointer;
    std::uint32_t valueType;
    double value;
    double previous;
};

constexpr std::uint32_t kFirstToken = 1;
constexpr std::uint32_t kLastToken = 1030;

// ---- panel-service table ---------------------------------------------------------------------

using KeyEventHandler = std::int32_t(ZV_STDCALL*)(std::uint32_t eventId, std::uint32_t value,
                                                  void* user);

using AnyFunction = void (*)();

constexpr std::size_t kServiceSlots = 96;

struct PanelServiceTable {
    AnyFunction slots[kServiceSlots];
};

// Slot numbers and signatures of the services the module uses.
template <std::size_t N, typename Fn> struct Slot {
    static constexpr std::size_t index = N;
    using Type = Fn;
};

namespace slot {
using ElementQuery = Slot<24, Word(ZV_STDCALL*)(ElementHeader*)>;
using ElementInstall = Slot<25, Word(ZV_STDCALL*)(ElementHeader*, Word)>;
using ElementInitialise = Slot<26, Word(ZV_STDCALL*)(ElementHeader*)>;
using ElementUpdate = Slot<27, Word(ZV_STDCALL*)(ElementHeader*)>;
using ElementGenerate = Slot<28, Word(ZV_STDCALL*)(ElementHeader*, Word)>;
using ElementPlot = Slot<29, Word(ZV_STDCALL*)(ElementHeader*)>;
using ElementKill = Slot<31, Word(ZV_STDCALL*)(ElementHeader*)>;
using TriggerKeyEvent = Slot<36, Word(ZV_STDCALL*)(std::uint32_t, std::uint32_t)>;
using InitializeVar = Slot<38, void(ZV_STDCALL*)(ModuleVar*)>;
using LookupVar = Slot<40, void(ZV_STDCALL*)(ModuleVar*)>;
using UnregisterVarByName = Slot<41, void(ZV_STDCALL*)(const char*)>;
using PanelWindow = Slot<45, Word(ZV_STDCALL*)(std::uint32_t)>;
using CheckNamedVariable = Slot<51, std::uint32_t(ZV_STDCALL*)(const char*)>;
using RegisterNamedVariable = Slot<52, std::uint32_t(ZV_STDCALL*)(const char*)>;
using GetNamedVariableTypedValue = Slot<54, double(ZV_STDCALL*)(std::uint32_t, std::uint32_t)>;
using SetNamedVariableTypedValue =
    Slot<56, void(ZV_STDCALL*)(std::uint32_t, double, std::uint32_t)>;
using GetNamedVariableName = Slot<59, const char*(ZV_STDCALL*)(std::uint32_t)>;
using GetUnitsEnum = Slot<73, std::uint32_t(ZV_STDCALL*)(const char*)>;
using GetAircraftVarEnum = Slot<74, std::uint32_t(ZV_STDCALL*)(const char*)>;
using AircraftVarget = Slot<75, double(ZV_STDCALL*)(std::uint32_t, std::uint32_t, std::uint32_t)>;
using TriggerKeyEvent2 = Slot<79, Word(ZV_STDCALL*)(std::uint32_t, std::uint32_t)>;
using RegisterKeyEventHandler = Slot<80, void(ZV_STDCALL*)(KeyEventHandler, void*)>;
using UnregisterKeyEventHandler = Slot<81, void(ZV_STDCALL*)(KeyEventHandler, void*)>;
} // namespace slot

// Host side: puts a function into its slot.
template <typename S> void Install(PanelServiceTable& table, typename S::Type fn) {
    table.slots[S::index] = reinterpret_cast<AnyFunction>(fn);
}

// Module side: the function in a slot, or null when the host left it empty.
template <typename S> typename S::Type Get(const PanelServiceTable* table) {
    if (table == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<typename S::Type>(table->slots[S::index]);
}

} // namespace fsx
