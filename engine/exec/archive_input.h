#pragma once
// The archive a run reads, loaded through the archive reader (so stubs,
// trailing bytes and Zip64 are taken as the component takes them) and kept
// open for reading the entries' data with positioned reads.
#include <cstdint>
#include <memory>
#include <string>

#include "archive/directory/waux.h"

namespace lunaro::engine {

class TArchiveInput {
public:
    TArchiveInput();
    ~TArchiveInput();
    TArchiveInput(const TArchiveInput&) = delete;
    TArchiveInput& operator=(const TArchiveInput&) = delete;

    // 0, or the engine error magnitude that names the failure (error text set).
    int Open(const std::string& path, std::string& error);

    archive::TZKZipFile& Zip() { return *fZip; }
    int Count() const { return fZip ? fZip->Count() : 0; }
    archive::TZKIRec& Entry(int index) { return *fZip->Items(index); }
    // The descriptor for positioned reads of the entries' data.
    int Descriptor() const { return fZip->Handle(); }
    int64_t FileSize() const { return fZip->File_Size(); }

    // Checks the entry's local header; the offset of its data, or -1.
    int64_t DataOffset(int index);

private:
    archive::TZKMaster fMaster;
    archive::TZKWAux fWorker;
    archive::TZKZipFile* fZip = nullptr;
};

}  // namespace lunaro::engine
