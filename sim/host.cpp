#include "sim/host.h"

#include <dlfcn.h>

namespace ovi::sim {

bool LoadModule(const std::string& path, LoadedModule& out, std::string& error) {
  out = {};
  void* h = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (h == nullptr) {
    const char* e = ::dlerror();
    error = path + ": cannot load module: " + (e ? e : "unknown error");
    return false;
  }
  auto* linkage = static_cast<GAUGESLINKAGE*>(::dlsym(h, "Linkage"));
  auto* imports = static_cast<IMPORT_TABLE*>(::dlsym(h, "ImportTable"));
  if (linkage == nullptr || imports == nullptr) {
    error = path + ": not a gauge module (no Linkage or ImportTable)";
    ::dlclose(h);
    return false;
  }
  out.handle = h;
  out.linkage = linkage;
  out.import_table = imports;
  out.status_count = reinterpret_cast<int (*)()>(::dlsym(h, "OviStatusMessageCount"));
  out.status_text = reinterpret_cast<const char* (*)(int)>(::dlsym(h, "OviStatusMessage"));
  return true;
}

void UnloadModule(LoadedModule& m) {
  if (m.handle != nullptr) ::dlclose(m.handle);
  m = {};
}

std::vector<std::string> GaugeNames(const LoadedModule& m) {
  std::vector<std::string> names;
  if (m.linkage == nullptr || m.linkage->gauge_table == nullptr) return names;
  for (GAUGEHDR** g = m.linkage->gauge_table; *g != nullptr; ++g) {
    names.emplace_back((*g)->gauge_name ? (*g)->gauge_name : "");
  }
  return names;
}

}  // namespace ovi::sim
