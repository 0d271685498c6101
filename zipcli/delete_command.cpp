#include "zipcli/command_run.h"
#include "zipcli/write_commands.h"

namespace lunaro::zipcli {

int RunDelete(const WriteRequest& request, std::FILE* err) {
    CatchInterrupts();
    struct TDeleteRun : TCommandRun {
        using TCommandRun::TCommandRun;
        int Run(const WriteRequest& request) {
            Settings().FSpecArgs = request.names;
            return Execute(false, [&] {
                // A spec that selects nothing is named; the others are
                // still deleted.
                CheckSpecsMatch(request.names);
                Opr().Delete();
            });
        }
    } run(request.archive, request.engine, err);
    return run.Run(request);
}

}  // namespace lunaro::zipcli
