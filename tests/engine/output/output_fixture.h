#pragma once
// A destination folder with a sibling "outside" folder that planted links
// point into, so that a test can see whether anything escaped.
#include "engine/output/destination.h"
#include "tests/support/test_support.h"

#include <filesystem>
#include <memory>
#include <set>
#include <string>

namespace lunaro::testkit {

inline std::set<std::string> NamesIn(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) names.insert(e.path().filename().string());
    return names;
}

inline engine::TEntryPath EntryPath(std::vector<std::string> folders, std::string leaf) {
    return engine::TEntryPath{std::move(folders), std::move(leaf)};
}

class OutputTest : public testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(Base());
        std::filesystem::create_directory(Outside());
        std::string error;
        Dest = engine::TDestination::Open(Base(), error);
        ASSERT_TRUE(Dest) << error;
    }
    std::string Base() const { return Root.File("base"); }
    std::string Outside() const { return Root.File("outside"); }

    // Begins, writes and commits one file; the error text when any step fails.
    std::string Extract(const engine::TEntryPath& path, const std::string& bytes) {
        std::string error;
        auto file = Dest->Begin(path, static_cast<int64_t>(bytes.size()), error);
        if (!file) return error;
        if (!file->Write(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), error)) return error;
        if (!file->Commit(std::nullopt, error)) return error;
        return "";
    }

    TempDir Root;
    std::unique_ptr<engine::TDestination> Dest;
};

}  // namespace lunaro::testkit
