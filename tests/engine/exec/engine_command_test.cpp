// One ZE_Exec call as a caller in C sees it: which records are refused,
// what comes back in every callback record, the key and the abort, stream
// records, the password questions, and a caller whose callback throws.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <thread>
#include <string>
#include <vector>

#include "engine/exec/engine_run.h"
#include "engine/exec/run_keys.h"
#include "platform/utf8.h"
#include "tests/support/test_support.h"
#include "tests/support/zip_builder.h"
#include "tests/engine/exec/write_caller.h"

namespace lunaro::testkit {
namespace {

// The caller's side: answers zacArg from its fields, records every callback
// and lets a test step in on any action.
struct TFakeCaller {
    std::string Archive;
    std::string Dest;
    std::vector<std::string> Specs{"*.*"};
    std::vector<TZCallBackStruct> Calls;
    std::vector<uint32_t> StreamChecks;
    std::string StreamBytes;
    std::function<int32_t(TZCallBackStruct&)> OnAction;  // answers instead, when set and >= -100
    std::u16string Answer;
    TDLLCommands Command{};

    TFakeCaller() {
        Command.fCaller = this;
        Command.fVersion = ZE_ENGINE_VERSION;
        Command.fCheck = ZE_COMMAND_CHECK;
        Command.fOptions = ZE_OPT_ALWAYS | ZE_OPT_EXTRACT | ZE_OPT_DIR_NAMES | ZE_OPT_OVERWRITE;
        Command.fPwdReqCount = 1;
        Command.ZCallbackFunc = &Callback;
        Command.ZStreamFunc = &Stream;
    }

    int32_t Give(TZCallBackStruct& rec, const std::string& text) { return GiveText(rec, Answer, text); }

    static int32_t Callback(TZCallBackStruct* rec) {
        auto& self = *static_cast<TFakeCaller*>(rec->Caller);
        self.Calls.push_back(*rec);
        if (self.OnAction) {
            const int32_t answer = self.OnAction(*rec);
            if (answer >= -100) return answer;
        }
        if ((rec->ActionCode & ZE_ACTION_MASK) != zacArg) return 0;
        const int32_t index = rec->Arg3;
        switch (rec->Arg1) {
            case ZE_ARG_TARGET: return self.Give(*rec, self.Archive);
            case ZE_ARG_EXTRACT_DIR: return self.Give(*rec, self.Dest);
            case ZE_ARG_SPEC:
                rec->Arg3 = static_cast<int32_t>(self.Specs.size());
                if (index < 0 || static_cast<size_t>(index) >= self.Specs.size()) return self.Give(*rec, ""), 0;
                return self.Give(*rec, self.Specs[static_cast<size_t>(index)]);
            case ZE_ARG_SPEC_EXCLUDE: rec->Arg3 = 0; return self.Give(*rec, ""), 0;
            default: return self.Give(*rec, "");
        }
    }

    static int32_t Stream(TZStreamRec* rec) {
        auto& self = *static_cast<TFakeCaller*>(rec->Caller);
        self.StreamChecks.push_back(rec->Check);
        if (rec->Number != 0) return 0;
        if (rec->OpCode == ZE_STREAM_OPEN) rec->StrmP = &self.StreamBytes;
        if (rec->OpCode == ZE_STREAM_WRITE) self.StreamBytes.append(reinterpret_cast<char*>(rec->BufP), rec->ArgI);
        return 1;
    }

    int Run() { return lunaro::engine::RunEngineCommand(&Command); }
    int Count(int action) const {
        int n = 0;
        for (const auto& c : Calls) n += (c.ActionCode & ZE_ACTION_MASK) == action;
        return n;
    }
};

class EngineCommand : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(work.File("out"));
        ZipBuilder zip;
        // a.txt is large enough to be written on the caller's thread, b.txt small
        // enough for a worker.
        zip.AddFile("a.txt", std::string(3 << 20, 'a')).AddFile("b.txt", "b");
        WriteFile(work.File("t.zip"), zip.Build());
        caller.Archive = work.File("t.zip");
        caller.Dest = work.File("out");
    }
    TempDir work;
    TFakeCaller caller;
};

TEST_F(EngineCommand, RecordsThatFailTheirChecksAreRefusedWithoutACallback) {
    for (const auto& spoil : std::vector<std::function<void(TDLLCommands&)>>{
             [](TDLLCommands& c) { c.fVersion = 191; }, [](TDLLCommands& c) { c.fCheck = 0x03070506; },
             [](TDLLCommands& c) { c.ZCallbackFunc = nullptr; }}) {
        TFakeCaller bad;
        spoil(bad.Command);
        EXPECT_EQ(bad.Run(), -ZE_ERR_BAD_OPTIONS);
        EXPECT_TRUE(bad.Calls.empty());
    }
    EXPECT_EQ(lunaro::engine::RunEngineCommand(nullptr), -ZE_ERR_BAD_OPTIONS);
}

TEST_F(EngineCommand, KeyComesFirstAndEveryRecordIsFilledAlike) {
    EXPECT_EQ(caller.Run(), 2);
    ASSERT_FALSE(caller.Calls.empty());
    EXPECT_EQ(caller.Calls.front().ActionCode, zacKey);
    EXPECT_NE(caller.Calls.front().Arg1, 0u);
    for (const auto& call : caller.Calls) {
        EXPECT_EQ(call.Check, static_cast<uint32_t>(ZE_CALLBACK_CHECK));
        EXPECT_EQ(call.Caller, &caller);
    }
    EXPECT_EQ(caller.Count(zacEndOfBatch), 1);
    EXPECT_EQ(lunaro::testkit::ReadFile(work.File("out/a.txt")), std::string(3 << 20, 'a'));
}

TEST_F(EngineCommand, AbortThroughTheKeyStopsTheRunMidEntry) {
    uint32_t key = 0;
    caller.OnAction = [&key](TZCallBackStruct& rec) -> int32_t {
        if (rec.ActionCode == zacKey) key = rec.Arg1;
        if (rec.ActionCode == zacProgress) {
            EXPECT_TRUE(lunaro::engine::TRunKey::Abort(key));
        }
        return -1000;
    };
    EXPECT_EQ(caller.Run(), -ZE_ERR_ABORTED);
    EXPECT_EQ(caller.Count(zacProgress), 1);
    EXPECT_TRUE(std::filesystem::is_empty(work.File("out")));
    EXPECT_FALSE(lunaro::engine::TRunKey::Abort(key));  // the call is over
}

TEST_F(EngineCommand, ThrowingCallbackEndsTheRunWithACode) {
    caller.OnAction = [](TZCallBackStruct& rec) -> int32_t {
        if (rec.ActionCode == zacItem) throw std::runtime_error("handler failed");
        return -1000;
    };
    EXPECT_EQ(caller.Run(), -ZE_ERR_CALLBACK);
    EXPECT_TRUE(std::filesystem::is_empty(work.File("out")));
}

TEST_F(EngineCommand, CommandNamingNoOperationIsRefusedPlainly) {
    caller.Command.fOptions = ZE_OPT_ALWAYS;
    EXPECT_EQ(caller.Run(), -ZE_ERR_BAD_OPTIONS);
    EXPECT_EQ(caller.Count(zacMessage), 1);
}

TEST_F(EngineCommand, StreamPatternSendsTheEntryThroughStreamRecords) {
    caller.Specs = {"0:b.txt"};
    EXPECT_EQ(caller.Run(), 1);
    EXPECT_EQ(caller.StreamBytes, "b");
    ASSERT_FALSE(caller.StreamChecks.empty());
    for (uint32_t check : caller.StreamChecks) EXPECT_EQ(check, static_cast<uint32_t>(ZE_STREAM_CHECK));
    EXPECT_TRUE(std::filesystem::is_empty(work.File("out")));
}

TEST_F(EngineCommand, PasswordIsAskedForNoMoreOftenThanAllowed) {
    LUNARO_REQUIRE_PEER(!FindProgram("zip").empty(), "zip");
    WriteFile(work.File("secret.txt"), "hidden");
    ASSERT_EQ(std::system(("cd '" + work.Path() + "' && zip -q -P right enc.zip secret.txt").c_str()), 0);
    caller.Archive = work.File("enc.zip");
    caller.Command.fPwdReqCount = 3;
    uint32_t skipType = 0;
    caller.OnAction = [&](TZCallBackStruct& rec) -> int32_t {
        if (rec.ActionCode == zacPassword) return caller.Give(rec, "wrong");
        if (rec.ActionCode == zacSkipped) skipType = rec.Arg2;
        return -1000;
    };
    EXPECT_EQ(caller.Run(), 0);
    EXPECT_EQ(caller.Count(zacPassword), 3);
    EXPECT_EQ(skipType, static_cast<uint32_t>(ZE_SKIP_BAD_PASSWORD));
    EXPECT_TRUE(std::filesystem::is_empty(work.File("out")));

    caller.Calls.clear();
    caller.OnAction = [&](TZCallBackStruct& rec) -> int32_t {
        return rec.ActionCode == zacPassword ? caller.Give(rec, "right") : -1000;
    };
    EXPECT_EQ(caller.Run(), 1);
    EXPECT_EQ(ReadFile(work.File("out/secret.txt")), "hidden");
}

TEST_F(EngineCommand, ManySmallEntriesReportInOrderOnTheCallersThread) {
    ZipBuilder zip;
    std::vector<std::string> names;
    for (int i = 0; i < 300; ++i) {
        names.push_back("d" + std::to_string(i % 7) + "/f" + std::to_string(i) + ".txt");
        ZipEntrySpec entry;
        entry.name = names.back();
        entry.data = std::string(100 + i * 37, static_cast<char>('a' + i % 26));
        if (i % 50 == 7) entry.crc = 1;  // damaged
        zip.Add(entry);
    }
    WriteFile(work.File("many.zip"), zip.Build());
    caller.Archive = work.File("many.zip");
    const std::thread::id mine = std::this_thread::get_id();
    std::vector<std::string> started;
    std::vector<std::string> damaged;
    caller.OnAction = [&](TZCallBackStruct& rec) -> int32_t {
        EXPECT_EQ(std::this_thread::get_id(), mine);
        if (rec.ActionCode == zacItem && rec.File_Size >= 0) started.emplace_back(reinterpret_cast<char*>(rec.MsgP));
        if (rec.ActionCode == zacCRCError) damaged.emplace_back(reinterpret_cast<char*>(rec.MsgP));
        return -1000;
    };
    EXPECT_EQ(caller.Run(), 294);
    EXPECT_EQ(started, names);
    EXPECT_EQ(damaged.size(), 6u);
    for (int i = 0; i < 300; ++i) {
        const std::string path = work.File("out/" + names[static_cast<size_t>(i)]);
        if (i % 50 == 7) EXPECT_FALSE(std::filesystem::exists(path)) << path;
        else EXPECT_EQ(ReadFile(path), std::string(100 + i * 37, static_cast<char>('a' + i % 26))) << path;
    }
}

}  // namespace
}  // namespace lunaro::testkit
