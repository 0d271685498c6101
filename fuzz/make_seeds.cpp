// Writes the fuzzer's seed corpus into the folder given as the argument:
// small archives that each reach a different path of the reader.
#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/zip_builder.h"

namespace {

using namespace lunaro::testkit;

ZipBuilder ThreeFiles() {
    ZipBuilder b;
    b.AddFile("readme.txt", "hello").AddFile("docs/guide.txt", "guide").AddFile("docs/", "");
    return b;
}

EndRecordSpec Comment(std::string text, int declared = -1) {
    EndRecordSpec end;
    end.comment = std::move(text);
    if (declared >= 0) end.commentLength = static_cast<uint16_t>(declared);
    return end;
}

ZipEntrySpec Entry(std::string name, std::string data) {
    ZipEntrySpec entry;
    entry.name = std::move(name);
    entry.data = std::move(data);
    return entry;
}

std::vector<std::pair<std::string, std::string>> Seeds() {
    std::vector<std::pair<std::string, std::string>> seeds;
    seeds.emplace_back("empty.zip", ZipBuilder().Build());
    seeds.emplace_back("three.zip", ThreeFiles().Build());
    seeds.emplace_back("comment.zip", ThreeFiles().End(Comment("an archive comment")).Build());
    seeds.emplace_back("short_comment.zip", ThreeFiles().End(Comment("forty", 100)).Build());
    seeds.emplace_back("trailing.zip", ThreeFiles().Trailer("0123456789").Build());
    seeds.emplace_back("sig_in_comment.zip", ThreeFiles().End(Comment("PK\x05\x06 inside")).Build());
    seeds.emplace_back("stub_adjusted.zip", ThreeFiles().Prefix("MZ" + std::string(500, 'x'), true).Build());
    seeds.emplace_back("stub_plain.zip", ThreeFiles().Prefix("MZ" + std::string(500, 'x'), false).Build());

    EndRecordSpec escaped;
    escaped.entriesOnDisk = escaped.totalEntries = 0xFFFF;
    escaped.centralSize = escaped.centralOffset = 0xFFFFFFFF;
    seeds.emplace_back("zip64.zip", ThreeFiles().Zip64({}).End(escaped).Build());

    Zip64Spec parted;  // the second of two parts, with a false count
    parted.totalEntries = parted.entriesOnDisk = 0x7FFFFFFF;
    parted.centralDisk = parted.locatorRecordDisk = 1;
    parted.locatorTotalDisks = 2;
    EndRecordSpec partedEnd = escaped;
    partedEnd.diskNumber = 1;
    partedEnd.centralDisk = 0xFFFF;
    seeds.emplace_back("parted.zip", ThreeFiles().Zip64(parted).End(partedEnd).Build());

    ZipBuilder names;
    ZipEntrySpec utf8 = Entry("caf\xC3\xA9.txt", "x");
    utf8.flag = 0x0800;
    ZipEntrySpec unicodePath = Entry("plain.txt", "z");
    unicodePath.extra = UnicodeBlock(0x7075, 1, Crc32("plain.txt"), "pl\xC3\xA4in.txt");
    ZipEntrySpec big = Entry("big.bin", "");
    big.versionNeeded = 45;
    big.extra = Zip64Block({5, 5});
    big.compressedSize = big.uncompressedSize = 0xFFFFFFFF;
    names.Add(utf8).Add(Entry("caf\x82.txt", "y")).Add(unicodePath).Add(big);
    seeds.emplace_back("names.zip", names.Build());

    const std::string whole = ThreeFiles().Build();
    const auto cut = static_cast<size_t>(ThreeFiles().CentralStart()) + 50;
    seeds.emplace_back("truncated_header.zip", whole.substr(0, cut) + whole.substr(whole.size() - 22));
    return seeds;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    for (const auto& [name, bytes] : Seeds()) {
        std::ofstream out(std::string(argv[1]) + "/" + name, std::ios::binary);
        out << bytes;
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", name.c_str());
            return 1;
        }
    }
    return 0;
}
