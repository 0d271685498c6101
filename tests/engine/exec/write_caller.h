#pragma once
// A caller of the engine's writing runs: answers zacArg from its fields,
// serves numbered streams from strings, records every callback, and lets a
// test step in on any action. Plus the three outside readers an archive
// must satisfy.
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/exec/engine_run.h"
#include "platform/utf8.h"
#include "tests/support/test_support.h"

namespace lunaro::testkit {

struct TWriteCaller {
    std::string Archive;
    std::string Root;
    std::string Password;
    std::string StoreList;
    std::string Comment;
    std::vector<std::string> Specs;
    std::vector<std::string> Excludes;
    std::map<int, std::string> Streams;
    int64_t StreamsShortBy = 0;  // streams announce this many bytes more than they give
    std::vector<TZCallBackStruct> Calls;
    std::vector<std::string> Skipped;  // names, in order
    std::function<int32_t(TZCallBackStruct&)> OnAction;  // answers instead, when set and >= -100
    std::u16string Answer;
    TDLLCommands Command{};

    explicit TWriteCaller(uint32_t operation = ZE_OPT_ADD) {
        Command.fCaller = this;
        Command.fVersion = ZE_ENGINE_VERSION;
        Command.fCheck = ZE_COMMAND_CHECK;
        Command.fOptions = ZE_OPT_ALWAYS | operation;
        Command.fLevel = 6;
        Command.ZCallbackFunc = &Callback;
        Command.ZStreamFunc = &Stream;
    }

    int32_t Give(TZCallBackStruct& rec, const std::string& text) {
        Answer = platform::Utf8ToUtf16(text);
        Answer.push_back(0);
        rec.HaveWide = 1;
        rec.MsgP = reinterpret_cast<uint8_t*>(Answer.data());
        return 1;
    }

    static int32_t Callback(TZCallBackStruct* rec) {
        auto& self = *static_cast<TWriteCaller*>(rec->Caller);
        self.Calls.push_back(*rec);
        if ((rec->ActionCode & ZE_ACTION_MASK) == zacSkipped) self.Skipped.emplace_back(reinterpret_cast<char*>(rec->MsgP));
        if (self.OnAction) {
            const int32_t answer = self.OnAction(*rec);
            if (answer >= -100) return answer;
        }
        if ((rec->ActionCode & ZE_ACTION_MASK) != zacArg) return 0;
        const int32_t index = rec->Arg3;
        const auto listItem = [&](const std::vector<std::string>& list) {
            rec->Arg3 = static_cast<int32_t>(list.size());
            if (index < 0 || static_cast<size_t>(index) >= list.size()) return self.Give(*rec, ""), 0;
            return self.Give(*rec, list[static_cast<size_t>(index)]);
        };
        switch (rec->Arg1) {
            case ZE_ARG_TARGET: return self.Give(*rec, self.Archive);
            case ZE_ARG_PASSWORD: return self.Give(*rec, self.Password);
            case ZE_ARG_ROOT_DIR: return self.Give(*rec, self.Root);
            case ZE_ARG_COMMENT: return self.Give(*rec, self.Comment);
            case ZE_ARG_SPEC: return listItem(self.Specs);
            case ZE_ARG_SPEC_EXCLUDE: return listItem(self.Excludes);
            case ZE_ARG_STORE_LIST: return self.Give(*rec, self.StoreList);
            default: return self.Give(*rec, "");
        }
    }

    // Streams are strings; StrmP points at the read position.
    std::map<int, size_t> Positions;
    static int32_t Stream(TZStreamRec* rec) {
        auto& self = *static_cast<TWriteCaller*>(rec->Caller);
        const auto found = self.Streams.find(rec->Number);
        if (found == self.Streams.end()) return 0;
        switch (rec->OpCode) {
            case ZE_STREAM_IDENTIFY: rec->ArgLL = static_cast<int64_t>(found->second.size()) + self.StreamsShortBy; return 1;
            case ZE_STREAM_OPEN: self.Positions[rec->Number] = 0; rec->StrmP = &self.Positions[rec->Number]; return 1;
            case ZE_STREAM_READ: {
                size_t& at = *static_cast<size_t*>(rec->StrmP);
                const size_t n = std::min(static_cast<size_t>(rec->ArgI), found->second.size() - at);
                std::copy_n(found->second.data() + at, n, rec->BufP);
                at += n;
                rec->ArgI = static_cast<int32_t>(n);
                return 1;
            }
            case ZE_STREAM_CLOSE: return 1;
            default: return 0;
        }
    }

    int Run() { return lunaro::engine::RunEngineCommand(&Command); }
    int Count(int action) const {
        int n = 0;
        for (const auto& c : Calls) n += (c.ActionCode & ZE_ACTION_MASK) == action;
        return n;
    }
};

inline int Shell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

// unzip -t and bsdtar -t accept the archive; python's zipfile reads every
// entry back with its CRC checked (an encrypted archive is left to the
// test: python decrypts a few hundred KiB a second).
inline void ExpectReadersAccept(const std::string& archive, const std::string& password = "") {
    const std::string pw = password.empty() ? "" : " -P '" + password + "'";
    EXPECT_EQ(Shell("unzip -tq" + pw + " '" + archive + "'"), 0) << archive;
    EXPECT_EQ(Shell("bsdtar -tf '" + archive + "'"), 0) << archive;
    if (password.empty()) {
        EXPECT_EQ(Shell("python3 -c \"import sys,zipfile; sys.exit(zipfile.ZipFile(sys.argv[1]).testzip() is not None)\" '" +
                        archive + "'"),
                  0)
            << archive;
    }
}

// What python prints for the archive with script (z is the open archive).
inline std::string PythonSays(const std::string& archive, const std::string& script) {
    const std::string command = "python3 -c \"import sys,zipfile; z=zipfile.ZipFile(sys.argv[1]); " + script + "\" '" + archive + "'";
    std::string text;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
        ::pclose(pipe);
    }
    return text;
}

}  // namespace lunaro::testkit
