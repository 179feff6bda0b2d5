#include "src/host/server_gauge.h"

#include "src/host/gauge_skeleton.h"
#include "src/host/host_detect.h"

namespace ovi::host {

namespace {

// Post-initialise: the host is known from here on.
void ServerPostInitialise(GAUGEHDR* /*gauge*/) { DetectSimHost(); }

// The SERVER's own services go in these hooks: pre-update polls the named
// panel variables and outputs the LNAV heading; connect-to-window registers
// the key-event handler and the named panel variables, disconnect removes
// them.
constexpr GaugeForm kServerForm{
    .log_line = "server_callback \n",
    .post_initialise = ServerPostInitialise,
    .pre_update = nullptr,
    .connect = nullptr,
    .disconnect = nullptr,
};

// Nothing to draw: an empty element list.
ELEMENT_HEADER* server_elements[] = {nullptr};

}  // namespace

void server_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  RunGaugeCallback(kServerForm, gauge, service);
}

GAUGEHDR server_gauge = {
    GAUGE_HEADER_VERSION, "SERVER", server_elements, server_callback, 0, "", nullptr, {0, 0},
    nullptr,
};

}  // namespace ovi::host
