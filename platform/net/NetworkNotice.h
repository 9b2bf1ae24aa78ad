// Things about the network the user should be told once (no usable interface, the
// network back, a name conflict, a port held by another program). The messenger
// shows them in its window; command-line programs print them on standard error.
#pragma once

#include <functional>
#include <string>

namespace hw::platform::net {

// The hook every notice goes to, from whichever thread posts it; it must return
// quickly and post nothing itself. Without a hook notices go to standard error, and
// the first hook set afterwards is given them too (a window made after the network
// parts started still shows what they found).
void SetOnNetworkNotice(std::function<void(const std::string&)>);
void PostNetworkNotice(const std::string& text);

}  // namespace hw::platform::net
