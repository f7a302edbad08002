// The publisher's page addresses a page process starts from.
#pragma once

#include <string>

namespace web {

// The web-game hall page on the publisher's client server ("/webgame.htm").
std::wstring HallPageUrl();
// The game-hall web site's home page: where "entergame" sends the player without a hall URL.
std::wstring DefaultHallUrl();
// The login page on the publisher's web-game site.
std::wstring LoginPageUrl();

} // namespace web
