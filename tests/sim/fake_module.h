// What the fake gauge module records of the host's calls, for the tests of
// ovi-sim. The tests reach it through dlsym("FakeModuleRecord") on the
// module the simulator loaded.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/panel/panel.h"

struct FakeServiceCall {
  const GAUGEHDR* gauge;
  std::string name;
  std::string parameter;
  int service;
};

struct FakeRecord {
  std::vector<FakeServiceCall> services;
  std::vector<std::string> events;  // "click A 3 4 0x20000000", "key 0x101FA 123", ...
  bool panels_bound_at_install = false;
  double latitude_at_init = 0.0;   // decoded by the readers' formulas
  double longitude_at_init = 0.0;
  std::string nav1_ident_at_init;
  double decision_height = -1.0;   // through the calculator
  std::int32_t unknown_expression_result = -1;
  std::int32_t dh_int = -1;
  void* provider_result = nullptr;  // what the traffic provider returned
  std::uint32_t provider_status = 0;
  int draw_width = 0, draw_height = 0;  // drawing element's device context
  int draws = 0;
  double fake_mem = 42.5;  // exported as the memory-backed "fake_mem"

  // FAKE_CDU: a keypad in nested parents, a screen it writes its lines on,
  // an EXEC lamp (icon), an "ON" label (string element) and keyboard entry.
  std::string scratchpad;            // keys A, B, C; CLR removes the last
  int mode = 0, range = 0;           // the outer and the inner knob
  bool keyboard_entry = false;       // KBD (the screen) toggles it
  std::string entry;                 // typed on the PC keyboard, at most 7 characters
  std::string keyboard_status;       // the first set-up failure, if any
  int polls = 0, lost_polls = 0;
  int hook_calls = 0, hook_discards = 0;
  int entries_done = 0;              // Enter pressed
  int label_updates = 0;             // string element callbacks

  // A status log as the module keeps one: "fake_status" N writes a full
  // log's last text, the count of what it dropped, over in place.
  std::vector<std::string> status;
};

typedef FakeRecord* (*FakeModuleRecordFn)();
typedef void (*FakeModuleResetFn)();
