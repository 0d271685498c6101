#include "zipcli/command_run.h"
#include "zipcli/write_commands.h"

namespace lunaro::zipcli {

int RunAdd(const WriteRequest& request, std::FILE* err) {
    using archive::TZKAddOptsEnum;
    CatchInterrupts();
    struct TAddRun : TCommandRun {
        using TCommandRun::TCommandRun;
        int Run(const WriteRequest& request) {
            archive::TZKSettings& s = Settings();
            // Names relative to the current folder, hidden files included,
            // as a user who names a folder expects to find it again.
            s.RootDir.clear();
            s.AddOptions = {TZKAddOptsEnum::AddSafe, TZKAddOptsEnum::AddHiddenFiles};
            if (request.keepFolders) s.AddOptions.Include(TZKAddOptsEnum::AddDirNames);
            if (request.recurse) {
                s.AddOptions.Include(TZKAddOptsEnum::AddRecurseDirs);
                s.AddOptions.Include(TZKAddOptsEnum::AddEmptyDirs);
            }
            if (request.password) {
                s.Password = *request.password;
                s.AddOptions.Include(TZKAddOptsEnum::AddEncrypt);
            }
            s.AddCompLevel = request.level;
            s.FSpecArgs = request.names;
            return Execute(true, [this] { Opr().Add(); });
        }
    } run(request.archive, request.engine, err);
    return run.Run(request);
}

}  // namespace lunaro::zipcli
