// The publisher override as this process was started with it.
#pragma once
#include <string>

#include "net/publisher.h"

namespace net {

// The "Publisher" test switch (host[:port]) at the first call, empty when unset; read once per
// process.
const std::wstring& PublisherOverride();

// PublisherUrl with this process's override.
std::wstring PublisherUrl(PublisherSite site, std::wstring_view path);

} // namespace net
