#include "zipcli/command_run.h"
#include "zipcli/write_commands.h"

namespace lunaro::zipcli {

int RunRename(const WriteRequest& request, std::FILE* err) {
    CatchInterrupts();
    struct TRenameRun : TCommandRun {
        using TCommandRun::TCommandRun;
        int Run(const std::string& from, const std::string& to) {
            return Execute(false, [&] {
                if (!FindEntry(from)) {
                    Report(from, "no such entry");
                    return;
                }
                Opr().Rename({{from, to}}, 0);
            });
        }
    } run(request.archive, request.engine, err);
    return run.Run(request.names[0], request.names[1]);
}

}  // namespace lunaro::zipcli
