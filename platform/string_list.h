#pragma once
// An ordered list of text lines with the name=value conventions that HTTP
// headers, FTP replies and the installer's helpers rely on.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/exception.h"

namespace lunaro::platform {

class EStringListError : public Exception {
public:
    using Exception::Exception;
};

class TStringList {
public:
    // Name and plain-text lookups ignore ASCII letter case unless set.
    bool CaseSensitive = false;

    int Count() const { return static_cast<int>(items_.size()); }
    // Appends; returns the new line's index.
    int Add(const std::string& line);
    // Inserts before index (Count() appends). Raises EStringListError when
    // index is outside 0..Count().
    void Insert(int index, const std::string& line);
    // Raises EStringListError when index is outside 0..Count()-1.
    void Delete(int index);
    void Clear() { items_.clear(); }

    // Index access; raises EStringListError outside 0..Count()-1.
    const std::string& operator[](int index) const;
    const std::string& Strings(int index) const { return (*this)[index]; }
    void SetStrings(int index, const std::string& line);

    // First line equal to the text, or -1.
    int IndexOf(std::string_view line) const;

    // Every line followed by CR LF.
    std::string Text() const;
    // Replaces the lines; breaks at CR LF, LF or a lone CR. A final break
    // does not add an empty line.
    void SetText(std::string_view text);

    // name=value lines: the name is the text before the first '='.
    // Names(i) is "" for a line without '=', as is ValueFromIndex(i).
    int IndexOfName(std::string_view name) const;
    std::string Values(std::string_view name) const;  // "" when absent
    // Replaces the first line with that name, or appends name=value; an
    // empty value deletes the line instead.
    void SetValue(std::string_view name, std::string_view value);
    std::string Names(int index) const;
    std::string ValueFromIndex(int index) const;

private:
    bool Same(std::string_view a, std::string_view b) const;
    void CheckIndex(int index, int limit) const;

    std::vector<std::string> items_;
};

}  // namespace lunaro::platform
