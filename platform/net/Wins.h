// The WINS client: this computer as an H node (a WINS server first, then broadcast),
// with the servers of Config().wins_servers. Without a server every call here does
// nothing and costs nothing.
#pragma once

#include <netinet/in.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/net/NameRegistration.h"

namespace hw::platform::net {

// The names this computer holds: NAME<00> and NAME<03> (unique) and WORKGROUP<00>
// (group), at address, with the owner node type ont.
std::vector<TNameClaim> ComputerClaims(in_addr address, std::uint16_t ont);

// The address a WINS server gives for NAME<00> (a unique name only). A server that
// does not answer is skipped for a minute.
std::optional<in_addr> QueryWinsName(const std::string& computer);

// Registering the names with every server, then refreshing each at half the time to
// live granted, in the background until stopped. A refusal is a name conflict.
void StartWinsRegistration();
void StopWinsRegistration();
// Releases the names with every server; returns within about half a second.
void ReleaseWinsNames();

}  // namespace hw::platform::net
