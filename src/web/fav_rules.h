// Rules of the favourites shortcut that need no window: the text of the Internet Shortcut file
// and where a proposed name may put it.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace web {

// The most characters of the name that the dialog reads from its edit.
inline constexpr size_t kMaxFavouriteNameChars = 127;

// The Internet Shortcut text for url, the whole url in both of its places: seven lines, each
// ended by CR LF. Nothing when the url holds a control character (C0, DEL or C1): the file is
// read line by line, and a line break in the url would add lines of the page's choosing.
std::optional<std::wstring> FavouriteText(std::wstring_view url);

// folder + "\" + name + ".url", the name cut to its first 127 characters; an empty name gives
// ".url". Nothing when the name could put the file anywhere but as a plain file in the folder
// (a "\" or "/", the name "..", a character that file names can't hold such as ":" which opens
// a stream, a control character, a device name such as "NUL") or when the path exceeds 259
// characters. The name comes from a web page's title.
std::optional<std::wstring> FavouritePath(std::wstring_view folder, std::wstring_view name);

} // namespace web
