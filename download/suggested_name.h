#pragma once
// Whether a file name a server suggests may be used. The server does not
// own the folder: its name must not replace a file already there, hide
// itself, pose as a partial file or smuggle control bytes into paths and logs.
#include <string>

namespace lunaro::download {

// Why name (already reduced to a single path segment) cannot be used in
// folder, in the component's language; "" when it can. This transfer's own
// partial file (name + ".part") is no obstacle: it is what a resume continues.
std::string SuggestedNameProblem(const std::string& name, const std::string& folder);

}  // namespace lunaro::download
