#pragma once
// "lunaro-zip list": reads an archive's directory the way the archive
// component does and writes it out.
#include <cstdio>
#include <string>

#include "zipcli/list_writer.h"

namespace lunaro::zipcli {

// 0 on success; 1 when the archive cannot be read (the component's message
// goes to err) or the listing cannot be written.
int ListArchive(const std::string& archive, ListFormat format, std::FILE* out, std::FILE* err);

}  // namespace lunaro::zipcli
