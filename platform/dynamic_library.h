#pragma once
// Loading shared libraries at run time. Failures are numbered as the platform
// the callers were written for numbers them, because their messages show the
// number:
//   126  the library (or a library it needs) was not found
//   193  the file is not a loadable library for this machine
//   127  the library needs a function that no loaded library provides, or
//        Resolve found no such export
//     6  Resolve was called with no library loaded
// The error text is the system loader's own description.
#include <string>

namespace lunaro::platform {

inline constexpr int kErrorInvalidHandle = 6;
inline constexpr int kErrorModuleNotFound = 126;
inline constexpr int kErrorProcNotFound = 127;
inline constexpr int kErrorBadExeFormat = 193;

class TDynamicLibrary {
public:
    TDynamicLibrary() = default;
    ~TDynamicLibrary() { Free(); }
    TDynamicLibrary(const TDynamicLibrary&) = delete;
    TDynamicLibrary& operator=(const TDynamicLibrary&) = delete;

    // Loads a library by path (Windows-style or host). A bare file name is
    // looked for beside the running program first, then in the system's
    // library search path. Frees a library loaded before. False on failure,
    // with LastError() and LastErrorText() telling why.
    bool Load(const std::string& path);
    // The address of an exported symbol, or null (LastError() 127, or 6 when
    // nothing is loaded).
    void* Resolve(const std::string& name);
    void Free();

    bool Loaded() const { return handle_ != nullptr; }
    int LastError() const { return error_; }
    const std::string& LastErrorText() const { return errorText_; }

private:
    bool Fail(int error, std::string text);

    void* handle_ = nullptr;
    int error_ = 0;
    std::string errorText_;
};

}  // namespace lunaro::platform
