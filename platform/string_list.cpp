#include "platform/string_list.h"

#include "platform/text_case.h"

namespace lunaro::platform {

bool TStringList::Same(std::string_view a, std::string_view b) const {
    return CaseSensitive ? a == b : SameTextAscii(a, b);
}

void TStringList::CheckIndex(int index, int limit) const {
    if (index < 0 || index > limit) throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
}

int TStringList::Add(const std::string& line) {
    items_.push_back(line);
    return Count() - 1;
}

void TStringList::Insert(int index, const std::string& line) {
    CheckIndex(index, Count());
    items_.insert(items_.begin() + index, line);
}

void TStringList::Delete(int index) {
    CheckIndex(index, Count() - 1);
    items_.erase(items_.begin() + index);
}

const std::string& TStringList::operator[](int index) const {
    CheckIndex(index, Count() - 1);
    return items_[static_cast<size_t>(index)];
}

void TStringList::SetStrings(int index, const std::string& line) {
    CheckIndex(index, Count() - 1);
    items_[static_cast<size_t>(index)] = line;
}

int TStringList::IndexOf(std::string_view line) const {
    for (int i = 0; i < Count(); ++i)
        if (Same(items_[static_cast<size_t>(i)], line)) return i;
    return -1;
}

std::string TStringList::Text() const {
    std::string text;
    for (const std::string& line : items_) {
        text += line;
        text += "\r\n";
    }
    return text;
}

void TStringList::SetText(std::string_view text) {
    items_.clear();
    size_t start = 0;
    while (start < text.size()) {
        // A plain scan: find_first_of searches its set once per character.
        size_t end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
        if (end == text.size()) {
            items_.emplace_back(text.substr(start));
            break;
        }
        items_.emplace_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }
}

std::string TStringList::Names(int index) const {
    const std::string& line = (*this)[index];
    const size_t eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(0, eq);
}

std::string TStringList::ValueFromIndex(int index) const {
    const std::string& line = (*this)[index];
    const size_t eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

int TStringList::IndexOfName(std::string_view name) const {
    for (int i = 0; i < Count(); ++i) {
        const std::string& line = items_[static_cast<size_t>(i)];
        const size_t eq = line.find('=');
        if (eq != std::string::npos && Same(std::string_view(line).substr(0, eq), name)) return i;
    }
    return -1;
}

std::string TStringList::Values(std::string_view name) const {
    const int index = IndexOfName(name);
    return index < 0 ? std::string() : ValueFromIndex(index);
}

void TStringList::SetValue(std::string_view name, std::string_view value) {
    const int index = IndexOfName(name);
    if (value.empty()) {
        if (index >= 0) Delete(index);
        return;
    }
    std::string line = std::string(name) + "=" + std::string(value);
    if (index >= 0) items_[static_cast<size_t>(index)] = std::move(line);
    else items_.push_back(std::move(line));
}

}  // namespace lunaro::platform
