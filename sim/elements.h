// A gauge's element tree as the host reads it: every element once, parents
// before their children, within fixed limits, so that a malformed tree (a
// cycle, a list without its terminator within reach, a runaway depth) stops
// with a message instead of a hang or a read past the lists.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/panel/panel.h"

namespace ovi::sim {

constexpr int kMaxElements = 256;     // elements of one gauge
constexpr int kMaxElementDepth = 16;  // levels below the top list
constexpr int kMaxChildren = 64;      // entries of one list

struct ElementTree {
  std::vector<ELEMENT_HEADER*> nodes;     // pre-order: parents before children
  std::vector<std::vector<int>> children;  // per node: its list, as node indices
  std::vector<int> top;                    // the gauge's own list
};

// Reads the tree under the gauge's element list (null: no elements). Each
// problem found adds one message to `problems`; what could be read is kept:
// a link back to an element above it is not followed, lists are cut at
// kMaxChildren entries, the tree at kMaxElementDepth levels and kMaxElements
// elements. An element reached twice without a cycle is read once.
ElementTree ReadElementTree(ELEMENT_HEADER** list, std::vector<std::string>& problems);

// A copy of the tree, linked alike, its elements in `elements` and its lists
// in `lists` (both keep their addresses); returns the copy of the top list.
ELEMENT_HEADER** CopyElementTree(const ElementTree& tree, std::deque<ELEMENT_HEADER>& elements,
                                 std::deque<std::vector<ELEMENT_HEADER*>>& lists);

}  // namespace ovi::sim
