#pragma once
// The process-wide loader of the extraction engine: it finds, loads,
// version-checks and unloads ZipEngine190.dll and counts, per operation
// object, how many uses of the engine that object holds. The library is
// loaded by the first use and unloaded when the last use is given back.
// Every operation runs under one lock, so operation objects on several
// threads share one library.
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "archive/driver/embedded_engine.h"
#include "engine/abi/zip_engine_abi.h"
#include "platform/dynamic_library.h"

namespace lunaro::archive {

class TZKDLLOpr;

inline constexpr const char* kEngineFileName = "ZipEngine190.dll";
// The DLLDirectory that names the embedded engine.
inline constexpr const char* kEmbeddedEngineDirectory = "><";

class TZKDLLLoader {
public:
    TZKDLLLoader();
    ~TZKDLLLoader();  // frees a library still loaded
    TZKDLLLoader(const TZKDLLLoader&) = delete;
    TZKDLLLoader& operator=(const TZKDLLLoader&) = delete;

    static TZKDLLLoader& Process();

    // Takes a use; the engine version when the use is held, else 0.
    int Load(TZKDLLOpr& user);
    void Unload(TZKDLLOpr& user);
    bool Loaded(const TZKDLLOpr& user);
    // Runs the engine under a use of its own; -1 without calling it when no
    // use can be had. key is reset to 0 afterwards.
    int Exec(TZKDLLOpr& user, TDLLCommands* rec, std::atomic<uint32_t>& key);
    void Abort(TZKDLLOpr& user, uint32_t key);
    // Forgets the user's uses without unloading (its object is going away).
    void Remove(TZKDLLOpr& user);

    // While loaded: what ZE_Name reported, the banner, the private version.
    std::string Path();
    std::string Banner();
    int Build();
    int UseCount(const TZKDLLOpr& user);
    // The path last handed to the system loader, and the system error of
    // the last failed load (0 after a load that succeeded).
    std::string LoadPath();
    int LoadError();

    // Called with the path of each file before it is opened (opening runs
    // the library's initialisers); raising refuses the file, the exception
    // being reported as a load failure is.
    std::function<void(const std::string& path)> OnAdmitLibrary;

private:
    struct Use {
        const TZKDLLOpr* user = nullptr;
        int count = 0;
    };
    struct EntryPoints {
        TZE_Exec exec = nullptr;
        TZE_Version version = nullptr;
        TZE_PrivVersion privVersion = nullptr;
        TZE_Abort abort = nullptr;
        TZE_Name name = nullptr;
        TZE_Banner banner = nullptr;
        TZE_Path path = nullptr;
    };

    int AttachUser(TZKDLLOpr& user);
    int DetachUser(TZKDLLOpr& user);
    Use* Find(const TZKDLLOpr& user);
    bool AnyUse() const;
    int LoadEngine(TZKDLLOpr& user);
    int LoadEngineFile(TZKDLLOpr& user, const std::string& path, bool raiseOnFailure);
    bool ResolveEntryPoints();
    void FreeEngine();
    void UnloadEngine(TZKDLLOpr& user);
    bool IsLoaded() const { return library_.Loaded(); }

    std::recursive_mutex lock_;
    std::vector<Use> users_;
    int loadingDepth_ = 0;
    platform::TDynamicLibrary library_;
    EntryPoints entry_;
    int version_ = 0;
    int privVersion_ = 0;
    std::string banner_;
    std::string enginePath_ = kEngineFileName;
    std::string loadPath_;
    int loadError_ = 0;
    std::string loadErrorText_;
    TZKEmbeddedEngine embedded_;
    bool deleteEmbeddedAtUnload_ = false;
};

}  // namespace lunaro::archive
