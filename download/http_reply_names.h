#pragma once
// Names an HTTP download takes from its URL and from the server's reply:
// the local file name and the target of a redirect.
#include <optional>
#include <string>
#include <string_view>

#include "platform/string_list.h"

namespace lunaro::download {

// True when text holds a byte below 0x20: such text can be neither part
// of a file name nor of a command line.
bool HasControlCharacter(const std::string& text);

// The last segment of a path: every "/" counts as "\", and the text after
// the last "\" or ":" is taken ("/pacotes/banco.zip" gives "banco.zip").
// A segment that is "." or "..", or holds a control character, gives "":
// it cannot name a file inside the destination folder.
std::string LastPathSegment(const std::string& path);

// The value of the first header line named name (letter case ignored),
// without surrounding blanks; nullopt when no line has that name.
std::optional<std::string> FindHeader(const platform::TStringList& headers, std::string_view name);

// The file name the reply headers suggest: the value after "filename=" in
// the first Content-Disposition line holding it, quoted or not, reduced to
// its last path segment so that it stays inside the destination folder
// (and otherwise as sent: see SuggestedNameProblem). "" when no such line
// suggests one.
std::string FileNameFromHeaders(const platform::TStringList& headers);

// The URL a redirect reply points to: its Location resolved against
// currentUrl (see ResolveLocation). "" when the reply names none or names
// one that is refused.
std::string RedirectTarget(const platform::TStringList& headers, const std::string& currentUrl);

}  // namespace lunaro::download
