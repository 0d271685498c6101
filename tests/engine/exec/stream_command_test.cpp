// One-stream runs of ZE_Exec against a caller whose stream function may not
// tell the truth: the engine believes only answers that make sense, reads
// no more than it was told to and stops when the caller says so.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "engine/exec/engine_run.h"

namespace lunaro::testkit {
namespace {

struct TStreamCaller {
    enum TReads { Honest, ClaimsMore, LeavesCountAsked, Fails };

    std::string Input;
    std::string Output;
    TReads Reads = Honest;
    int64_t Asked = 0;           // bytes the engine asked to read, in all
    int32_t ProgressAnswer = 0;  // what every zacProgress is answered
    TZSSArgs Args{};
    TDLLCommands Command{};

    TStreamCaller(uint32_t method, int64_t size, bool compress) {
        Command.fCaller = this;
        Command.fVersion = ZE_ENGINE_VERSION;
        Command.fCheck = ZE_COMMAND_CHECK;
        Command.fOptions = ZE_OPT_ALWAYS | (compress ? ZE_OPT_ADD : 0u);
        Command.fLevel = 6;
        Command.ZCallbackFunc = &Callback;
        Command.ZStreamFunc = &Stream;
        Command.fSS = &Args;
        Args.Method = method;
        Args.Size = size;
        Args.fSSInput = &Input;
        Args.fSSOutput = &Output;
    }
    int Run() { return lunaro::engine::RunEngineCommand(&Command); }

    static int32_t Callback(TZCallBackStruct* rec) {
        auto& self = *static_cast<TStreamCaller*>(rec->Caller);
        return (rec->ActionCode & ZE_ACTION_MASK) == zacProgress ? self.ProgressAnswer : 0;
    }

    static int32_t Stream(TZStreamRec* rec) {
        auto& self = *static_cast<TStreamCaller*>(rec->Caller);
        if (rec->Number != -1) return 0;
        if (rec->OpCode == ZE_STREAM_WRITE && rec->StrmP == &self.Output) {
            self.Output.append(reinterpret_cast<char*>(rec->BufP), static_cast<size_t>(rec->ArgI));
            return 1;
        }
        if (rec->OpCode != ZE_STREAM_READ || rec->StrmP != &self.Input) return 0;
        self.Asked += rec->ArgI;
        const int32_t asked = rec->ArgI;
        switch (self.Reads) {
            case ClaimsMore: rec->ArgI = asked + 100; return 1;
            case LeavesCountAsked: return 0;
            case Fails: return ZE_ANSWER_BAD_RECORD;
            case Honest: break;
        }
        const auto got = static_cast<int32_t>(std::min<size_t>(static_cast<size_t>(asked), self.Input.size()));
        std::memcpy(rec->BufP, self.Input.data(), static_cast<size_t>(got));
        self.Input.erase(0, static_cast<size_t>(got));
        rec->ArgI = got;
        return got == asked ? 1 : 0;
    }
};

TEST(StreamCommand, ReadsNoMoreThanTheSizeAndBelievesOnlySensibleAnswers) {
    TStreamCaller copy(0, 10, true);
    copy.Input = std::string(100, 'x');
    EXPECT_EQ(copy.Run(), 1);
    EXPECT_EQ(copy.Output, std::string(10, 'x'));
    EXPECT_EQ(copy.Asked, 10);

    for (const auto reads : {TStreamCaller::ClaimsMore, TStreamCaller::LeavesCountAsked, TStreamCaller::Fails}) {
        for (const bool compress : {true, false}) {
            SCOPED_TRACE(std::to_string(reads) + (compress ? " compressing" : " expanding"));
            TStreamCaller liar(compress ? 8 : 0, 1000, compress);
            liar.Input = std::string(1000, 'y');
            liar.Reads = reads;
            EXPECT_EQ(liar.Run(), -ZE_ERR_READ);
            EXPECT_TRUE(liar.Output.empty());
        }
    }
}

TEST(StreamCommand, TheCallersCancelStopsTheRun) {
    for (const bool compress : {true, false}) {
        TStreamCaller run(0, 4 << 20, compress);
        run.Input = std::string(4 << 20, 'z');
        run.ProgressAnswer = ZE_ANSWER_CANCEL;
        EXPECT_EQ(run.Run(), -ZE_ERR_CANCELLED);
        EXPECT_LT(run.Output.size(), 4u << 20);
    }
}

}  // namespace
}  // namespace lunaro::testkit
