#include "sim/elements.h"

#include <algorithm>
#include <map>

#include "src/util/text.h"

namespace ovi::sim {

namespace {

class Reader {
 public:
  explicit Reader(std::vector<std::string>& problems) : problems_(problems) {}

  // The node indices of one null-terminated list.
  std::vector<int> List(ELEMENT_HEADER** list, int depth) {
    std::vector<int> out;
    if (list == nullptr) return out;
    for (int n = 0;; ++n) {
      if (list[n] == nullptr) break;
      if (n >= kMaxChildren) {
        Once(long_list_, util::Format("an element list has more than %d entries (or no end): the rest is left out",
                                      kMaxChildren));
        break;
      }
      int child = Visit(list[n], depth);
      if (child >= 0) out.push_back(child);
    }
    return out;
  }

  ElementTree tree;

 private:
  int Visit(ELEMENT_HEADER* e, int depth) {
    if (std::find(path_.begin(), path_.end(), e) != path_.end()) {
      Once(cycle_, "an element links back to an element above it (a cycle): that link is not followed");
      return -1;
    }
    if (auto it = index_.find(e); it != index_.end()) return it->second;
    if (depth > kMaxElementDepth) {
      Once(deep_, util::Format("elements nested deeper than %d levels are left out", kMaxElementDepth));
      return -1;
    }
    if (static_cast<int>(tree.nodes.size()) >= kMaxElements) {
      Once(many_, util::Format("more than %d elements: the rest is left out", kMaxElements));
      return -1;
    }
    int i = static_cast<int>(tree.nodes.size());
    index_[e] = i;
    tree.nodes.push_back(e);
    tree.children.emplace_back();
    path_.push_back(e);
    std::vector<int> kids = List(e->next_element, depth + 1);
    path_.pop_back();
    tree.children[i] = std::move(kids);
    return i;
  }

  void Once(bool& said, const std::string& message) {
    if (!said) problems_.push_back(message);
    said = true;
  }

  std::vector<std::string>& problems_;
  std::map<const ELEMENT_HEADER*, int> index_;
  std::vector<const ELEMENT_HEADER*> path_;
  bool long_list_ = false, cycle_ = false, deep_ = false, many_ = false;
};

}  // namespace

ElementTree ReadElementTree(ELEMENT_HEADER** list, std::vector<std::string>& problems) {
  Reader r(problems);
  r.tree.top = r.List(list, 0);
  return std::move(r.tree);
}

ELEMENT_HEADER** CopyElementTree(const ElementTree& tree, std::deque<ELEMENT_HEADER>& elements,
                                 std::deque<std::vector<ELEMENT_HEADER*>>& lists) {
  std::vector<ELEMENT_HEADER*> copies;
  for (ELEMENT_HEADER* e : tree.nodes) {
    elements.push_back(*e);
    copies.push_back(&elements.back());
  }
  auto make_list = [&](const std::vector<int>& members) {
    lists.emplace_back();
    for (int m : members) lists.back().push_back(copies[m]);
    lists.back().push_back(nullptr);
    return lists.back().data();
  };
  for (std::size_t i = 0; i < tree.nodes.size(); ++i) {
    // An element with no list keeps none; one whose list was cut keeps what was read.
    copies[i]->next_element = tree.nodes[i]->next_element == nullptr ? nullptr : make_list(tree.children[i]);
  }
  return make_list(tree.top);
}

}  // namespace ovi::sim
