// The gauge-module interface between the simulator's panel system (the host)
// and a gauge module. Written for this project from what the module expects of
// its host; both sides of the seam include this one header, so its layout is
// the contract between ovi1.gau and whatever loads it.
#pragma once

#include <cstdint>

namespace ovi::gfx {
struct DeviceContext;  // platform/gfx/device_context.h
}

extern "C" {

// ---------------------------------------------------------------------------
// Versions
// ---------------------------------------------------------------------------
constexpr std::uint32_t GAUGE_HEADER_VERSION = 0x320;
constexpr std::uint32_t MODULE_VERSION_FS2004 = 0x900;
constexpr std::uint32_t MODULE_ID = 0x4F564931;  // "OVI1"

// ---------------------------------------------------------------------------
// Panel service ids sent to every gauge callback
// ---------------------------------------------------------------------------
enum PanelService : std::int32_t {
  PANEL_SERVICE_PRE_QUERY = 0,
  PANEL_SERVICE_POST_QUERY = 1,
  PANEL_SERVICE_PRE_INSTALL = 2,
  PANEL_SERVICE_POST_INSTALL = 3,
  PANEL_SERVICE_PRE_INITIALIZE = 4,
  PANEL_SERVICE_POST_INITIALIZE = 5,
  PANEL_SERVICE_PRE_UPDATE = 6,
  PANEL_SERVICE_POST_UPDATE = 7,
  PANEL_SERVICE_PRE_GENERATE = 8,
  PANEL_SERVICE_POST_GENERATE = 9,
  PANEL_SERVICE_PRE_DRAW = 10,
  PANEL_SERVICE_POST_DRAW = 11,
  PANEL_SERVICE_PRE_KILL = 12,
  PANEL_SERVICE_POST_KILL = 13,
  PANEL_SERVICE_CONNECT_TO_WINDOW = 14,
  PANEL_SERVICE_DISCONNECT = 15,
};

// ---------------------------------------------------------------------------
// Simulator variables
// ---------------------------------------------------------------------------
// The caller sets `id`, zeroes the rest, calls lookup_var and reads `value`.
// Every numeric token arrives as a double in `value.n`, in the raw encoding
// the host keeps it in (latitude token 71 as degrees x 10001750 / 90, the
// 48-bit longitude of token 72 as its integer value, BCD radio words such as
// token 24 as the integer value of the word: 0x1130 is 4400.0). The text
// tokens (19, 47, 56: station idents) arrive in `value.text`, a host-owned
// NUL-terminated string, or null.
union VarValue {
  double n;
  std::uint32_t u32;
  std::int32_t i32;
  std::int64_t i64;
  const char* text;
  void* ptr;
};
static_assert(sizeof(VarValue) == 8);

struct MODULE_VAR {
  std::uint32_t id;        // token / variable number
  void* var_ptr;           // host's storage, if it exposes one
  std::uint32_t var_type;  // host's type code of the value
  VarValue value;
  VarValue prev_value;
};

// Types of named / registered variables.
enum VarType : std::uint32_t {
  VAR_TYPE_NONE = 0,
  VAR_TYPE_U32 = 1,
  VAR_TYPE_S32 = 2,
  VAR_TYPE_FLOAT64 = 3,
  VAR_TYPE_TEXT = 4,
  VAR_TYPE_FUNCTION = 0x26,  // a module entry point published by another module
};

// ---------------------------------------------------------------------------
// Elements
// ---------------------------------------------------------------------------
enum ElementType : std::int32_t {
  ELEMENT_TYPE_STATIC_IMAGE = 0,
  ELEMENT_TYPE_STRING = 2,
  ELEMENT_TYPE_SLIDER = 3,
  ELEMENT_TYPE_ICON = 4,  // a small picture over its parent, shown and hidden by IMAGE_HIDDEN
};

// Bits of an element's image-flag word.
constexpr std::uint32_t IMAGE_ON_SCREEN = 0x80000000u;  // host's on-screen mark
constexpr std::uint32_t IMAGE_HIDDEN = 0x40000000u;     // image not shown
constexpr std::uint32_t IMAGE_LUMINOUS = 0x00004000u;   // lit (_LM gauges)
constexpr std::uint32_t IMAGE_CREATE_DIBSECTION = 0x00000020u;  // a surface the module draws on
constexpr std::uint32_t IMAGE_USE_BRIGHT = 0x00000004u;
constexpr std::uint32_t IMAGE_USE_ERASE = 0x00000002u;
constexpr std::uint32_t IMAGE_USE_TRANSPARENCY = 0x00000001u;

struct PIXPOINT {
  std::int32_t x;
  std::int32_t y;
};

struct PIXSIZE {
  std::int32_t x;  // width
  std::int32_t y;  // height
};

struct ELEMENT_HEADER;

// An element's picture: the surface the module draws on, owned by the host.
struct IMAGE {
  PIXSIZE size = {0, 0};                  // pixel size, width then height
  ovi::gfx::DeviceContext* dc = nullptr;  // may be null
};

// Slider axis: one simulator variable, a scale and an optional callback that
// turns the variable's value into the offset the host applies (times scale).
struct SLIDER_AXIS {
  std::uint32_t token = 0;  // 0 = axis not used
  double scale = 0.0;
  double (*callback)(MODULE_VAR* var) = nullptr;  // may be null: offset = value * scale
};

// What a simulated failure does to an element; the list ends with key
// FAIL_NONE. The stand-in keeps the records but simulates no failure.
constexpr std::int32_t FAIL_NONE = 0;
struct FAILURE_RECORD {
  std::int32_t key;     // the failure (21: the host's electrical display failure)
  std::int32_t action;  // what the element does then (2: goes blank)
};

// A string element: a line of text the host draws from the element's own
// record. Every frame, before the gauge is drawn, the host calls `update`
// with the element; the callback may write at most `max_length` characters
// and a NUL into `text` (a host-owned buffer of max_length + 1 bytes, set
// before pre-install), set or clear IMAGE_HIDDEN, and returns the element's
// value, which the host keeps in `value`. The text is drawn centred in the
// element's box (position, image_size) over `back_colour` (0 = transparent).
struct ELEMENT_STRING {
  double (*update)(ELEMENT_HEADER* element) = nullptr;  // null: the text stays
  std::uint32_t max_length = 0;                         // at most 255
  char* text = nullptr;                                 // host-filled
  double value = 0.0;
  const char* font = nullptr;       // face name; null = "Arial"
  std::int32_t font_height = 0;     // design pixels
  std::int32_t font_weight = 400;   // 400 normal, 700 bold
  std::uint32_t fore_colour = 0;    // ARGB
  std::uint32_t back_colour = 0;    // ARGB
};

// One element of a gauge. Elements form a chain: an element's first entry in
// `next_element` is the element drawn under it (its child); the list is
// terminated by a null pointer. Designated initializers (`.element_type =
// ..., .resource_id = ...`) leave the fields a kind does not use at their
// defaults; the fields after `slider_y` come last so that a list of the first
// ten in order still initializes an element.
struct ELEMENT_HEADER {
  std::int32_t element_type = ELEMENT_TYPE_STATIC_IMAGE;
  std::uint32_t resource_id = 0;  // bitmap; 0 = none (a transparent surface)
  PIXPOINT position = {0, 0};     // on the gauge, design pixels
  PIXSIZE image_size = {0, 0};    // requested picture size (bitmap size)
  std::uint32_t image_flags = 0;
  ELEMENT_HEADER** next_element = nullptr;  // null-terminated list, or null
  // Host-filled.
  IMAGE image = {};
  // Slider elements.
  SLIDER_AXIS slider_x = {};
  SLIDER_AXIS slider_y = {};
  // String elements.
  ELEMENT_STRING string = {};
  const FAILURE_RECORD* failures = nullptr;  // null, or a list ended by FAIL_NONE
};

// ---------------------------------------------------------------------------
// Mouse rectangles
// ---------------------------------------------------------------------------
enum MouseRectType : std::int32_t {
  MOUSE_RECT_EOL = 0,
  MOUSE_RECT_PARENT = 1,
  MOUSE_RECT_CHILD = 2,
  MOUSE_RECT_END_PARENT = 3,
};

constexpr std::uint32_t MOUSE_LEFTSINGLE = 0x20000000u;
constexpr std::uint32_t MOUSE_REPEAT = 0x00200000u;
constexpr std::uint32_t MOUSE_LEFTSINGLE_REPEAT = 0x20200000u;

// The host's cursor codes: 1 up arrow, 2 down arrow, 5 hand.
enum MouseCursor : std::int32_t {
  CURSOR_NONE = 0,
  CURSOR_UPARROW = 1,
  CURSOR_DOWNARROW = 2,
  CURSOR_LEFTARROW = 3,
  CURSOR_RIGHTARROW = 4,
  CURSOR_HAND = 5,
  CURSOR_NORMAL = 6,
};

typedef std::int32_t (*MouseHandler)(PIXPOINT* relative, std::uint32_t flags);

// A list of rectangles in the gauge's design pixels, ended by an EOL entry.
// A PARENT opens a box; every entry after it up to its END_PARENT (or to the
// end of the list) is placed relative to that parent's top-left, so parents
// nest and a child at (0, 0) of the parent's size covers it whole. A parent
// of size 0 x 0 covers the whole gauge. Where rectangles overlap, the first
// one in list order that takes the click wins.
struct MOUSERECT {
  std::int32_t rect_type;
  PIXPOINT position;
  PIXSIZE size;
  std::int32_t cursor;
  std::uint32_t event_flags;
  MouseHandler handler;
};

// ---------------------------------------------------------------------------
// Gauges
// ---------------------------------------------------------------------------
struct GAUGEHDR;
typedef void (*GaugeCallback)(GAUGEHDR* gauge, std::int32_t service_id, std::uint32_t extra);

struct GAUGEHDR {
  std::uint32_t gauge_header_version;  // GAUGE_HEADER_VERSION
  const char* gauge_name;
  ELEMENT_HEADER** elements_list;  // first element at [0]; null-terminated
  GaugeCallback gauge_callback;
  std::uint32_t user_data;
  const char* parameters;  // from the panel configuration; host-owned, may be empty
  MOUSERECT* mouse_rect;   // may be null
  PIXSIZE design_size;     // x = 312 for the display and panel gauges
  // Host-filled.
  void* host_data;
};

// ---------------------------------------------------------------------------
// The host's panel services
// ---------------------------------------------------------------------------
typedef void (*KeyEventHandler)(std::uint32_t event_id, std::uint32_t value, void* user);

struct PANELS {
  void (*lookup_var)(MODULE_VAR* var);
  double (*aircraft_varget)(std::uint32_t simvar, std::int32_t units, std::int32_t index);
  std::int32_t (*get_units_enum)(const char* unit_name);
  // Evaluates a calculator expression; the results that are not null receive it.
  std::int32_t (*execute_calculator_code)(const char* code, double* fvalue, std::int32_t* ivalue,
                                          const char** svalue);
  void (*trigger_key_event)(std::uint32_t event_id, std::uint32_t value);
  // Memory-backed variables: the host reads the module's storage directly.
  void (*register_var_by_name)(void* storage, std::uint32_t var_type, const char* name);
  // Looks a registered variable up; var->var_type stays VAR_TYPE_NONE when absent.
  void (*initialize_var_by_name)(MODULE_VAR* var, const char* name);
  void (*unregister_var_by_name)(const char* name);
  // Named values kept by the host; ids are -1 when absent.
  std::int32_t (*register_named_variable)(const char* name);
  std::int32_t (*check_named_variable)(const char* name);
  double (*get_named_variable_value)(std::int32_t id);
  void (*set_named_variable_value)(std::int32_t id, double value);
  std::int32_t (*panel_window_toggle)(std::uint32_t window_ident);
  std::int32_t (*is_panel_window_visible_ident)(std::uint32_t window_ident);
  void (*register_key_event_handler)(KeyEventHandler handler, void* user);
  void (*unregister_key_event_handler)(KeyEventHandler handler, void* user);
};

// ---------------------------------------------------------------------------
// What the module exports
// ---------------------------------------------------------------------------
struct IMPORT_TABLE_ENTRY {
  std::uint32_t id;
  PANELS* panels;  // filled by the host before any gauge is called
};

struct IMPORT_TABLE {
  IMPORT_TABLE_ENTRY panels_entry;
  IMPORT_TABLE_ENTRY end_marker;  // id 0
};

struct GAUGESLINKAGE {
  std::uint32_t module_id;
  void (*module_init)();
  void (*module_deinit)();
  std::uint32_t flags;
  std::uint32_t module_version;  // MODULE_VERSION_FS2004
  GAUGEHDR** gauge_table;        // null-terminated
};

}  // extern "C"
