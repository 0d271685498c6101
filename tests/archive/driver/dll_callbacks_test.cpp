// The engine's callbacks as the engine makes them: record checks, the
// answers of each action, the answer buffers, the password flow, skipping
// and what a failing handler or stream does.
#include <cstring>
#include <stdexcept>
#include <tuple>

#include "archive/messages/message_ids.h"
#include "platform/utf8.h"
#include "tests/archive/driver/driver_fixture.h"

namespace lunaro::archive {
namespace {

class CallbackTest : public testkit::DriverTest {
protected:
    CallbackTest() { StartWith(""); }

    int Call(int action, uint32_t arg1 = 0, uint32_t arg2 = 0, int32_t arg3 = 0, const std::u16string& text = u"") {
        text_ = text;
        rec = TZCallBackStruct{};
        rec.Caller = &opr;
        rec.Check = ZE_CALLBACK_CHECK;
        rec.ActionCode = action;
        rec.HaveWide = 1;
        rec.MsgP = reinterpret_cast<uint8_t*>(text_.data());
        rec.Arg1 = arg1;
        rec.Arg2 = arg2;
        rec.Arg3 = arg3;
        return ZCallbackFunc(&rec);
    }
    std::string Answer() const {
        std::u16string units;
        for (size_t i = 0;; i += 2) {
            char16_t unit;
            std::memcpy(&unit, rec.MsgP + i, 2);
            if (!unit) break;
            units.push_back(unit);
        }
        return platform::Utf16ToUtf8(units);
    }

    TZCallBackStruct rec{};
    std::u16string text_;
};

TEST_F(CallbackTest, RecordsFailingTheirCheckAreRefusedUntouched) {
    TZCallBackStruct bad{};
    bad.Caller = &opr;
    bad.Check = 1798;
    bad.ActionCode = zacKey;
    bad.Arg1 = 99;
    EXPECT_EQ(ZCallbackFunc(&bad), -5);
    EXPECT_EQ(opr.DLLOperKey(), 0u);
    TZStreamRec badStream{};
    badStream.Caller = &opr;
    badStream.Check = 1799;
    EXPECT_EQ(ZStreamFunc(&badStream), -5);
    EXPECT_EQ(ZCallbackFunc(nullptr), -5);

    EXPECT_EQ(Call(zacKey, 77), 0);
    EXPECT_EQ(opr.DLLOperKey(), 77u);
    for (int action : {int{zacTick}, int{zacNone}, int{zacWinErr}, 40})
        EXPECT_EQ(Call(action), -1) << action;
    EXPECT_EQ(Call(zacKey | 0x40, 78), 0);  // only the low six bits name the action
    EXPECT_EQ(opr.DLLOperKey(), 78u);
}

TEST_F(CallbackTest, ArgumentsComeBackAsUtf16InBuffersOfWholeGranules) {
    master.Settings.FSpecArgs = {"*.*"};
    master.Settings.Password = "p\xC3\xA4ss";
    master.Settings.ExtAddStoreSuffixes = "Doc, .PDF;";
    opr.StartUp();

    EXPECT_EQ(Call(zacArg, ZE_ARG_SPEC, 0, 0), 1);
    EXPECT_EQ(Answer(), "*.*");
    EXPECT_EQ(rec.Arg3, 1);
    EXPECT_EQ(rec.HaveWide, 1);
    EXPECT_EQ(Call(zacArg, ZE_ARG_SPEC, 0, 1), 0);
    EXPECT_EQ(Answer(), "");
    EXPECT_EQ(rec.Arg3, 1);
    EXPECT_EQ(Call(zacArg, ZE_ARG_SPEC_EXCLUDE, 0, -1), -5);
    EXPECT_EQ(Call(zacArg, 9), -5);
    EXPECT_EQ(Call(zacArg, ZE_ARG_PASSWORD), 1);
    EXPECT_EQ(Answer(), "p\xC3\xA4ss");
    EXPECT_EQ(Call(zacArg, ZE_ARG_STORE_LIST), 1);
    EXPECT_EQ(Answer(), ".gif:.png:.z:.zip:.zoo:.arc:.lzh:.arj:.taz:.tgz:.lha:.rar:.ace:.cab:.gz:.gzip:.jar:"
                        ".jpg:.jpeg:.7zp:.mp3:.wmv:.wma:.dvr-ms:.avi:.doc:.pdf:");

    // 254 characters and their terminator fill one granule exactly; one more needs two.
    master.Settings.RootDir = std::string(254, 'r');
    opr.StartUp();
    Call(zacArg, ZE_ARG_ROOT_DIR);
    EXPECT_EQ(Answer().size(), 254u);
    master.Settings.RootDir = std::string(255, 'r');
    opr.StartUp();
    Call(zacArg, ZE_ARG_ROOT_DIR);
    EXPECT_EQ(Answer().size(), 255u);
}

TEST_F(CallbackTest, AnswerBufferSizes) {
    TZKAnswerBuffer buffer;
    TZCallBackStruct r{};
    buffer.SetText(r, std::string(254, 'x'));
    EXPECT_EQ(buffer.Capacity(), 512u);
    buffer.SetText(r, std::string(255, 'x'));
    EXPECT_EQ(buffer.Capacity(), 1024u);
    buffer.SetBytes(r, std::string(508, 'x'));
    EXPECT_EQ(buffer.Capacity(), 512u);
    EXPECT_EQ(r.HaveWide, 0);
    EXPECT_EQ(r.MsgP[508], 0);
}

TEST_F(CallbackTest, MessagesCarryTheEngineErrorAndItsText) {
    EXPECT_EQ(Call(zacMessage, 0x0A05, 0, 0, u"bad header"), 0);
    EXPECT_EQ(opr.ErrCode(), msg::EngineInvalidStructure);
    EXPECT_EQ(opr.ErrMessage(), "Invalid structurebad header");
    EXPECT_EQ(opr.DllErrCode(), 0x0A05);
    EXPECT_EQ(Call(zacMessage, 0x0105, 0, 0, u"later"), 0);
    EXPECT_EQ(opr.ErrMessage(), "Invalid structurebad header");  // the first error stays
    EXPECT_EQ(messages.back(), std::make_pair(msg::EngineInvalidStructure, std::string("later")));

    // 8-bit text that is not UTF-8 is read in the ANSI code page.
    rec = TZCallBackStruct{};
    rec.Caller = &opr;
    rec.Check = ZE_CALLBACK_CHECK;
    rec.ActionCode = zacMessage;
    uint8_t latin1[] = {'c', 'a', 'f', 0xE9, 0};
    rec.MsgP = latin1;
    ZCallbackFunc(&rec);
    EXPECT_EQ(messages.back().second, "caf\xC3\xA9");
}

TEST_F(CallbackTest, SkippingStopsTheRunOnlyForTheNoSkippingTypes) {
    const uint32_t readError = static_cast<uint32_t>(TZKSkipTypes::stReadError) + 1;
    EXPECT_EQ(Call(zacSkipped, 0, readError, 0, u"a.txt"), 1);
    const uint32_t badPassword = static_cast<uint32_t>(TZKSkipTypes::stBadPassword) + 1;
    EXPECT_EQ(Call(zacSkipped, static_cast<uint32_t>(-7), badPassword, 0, u"b.txt"), 0);
    EXPECT_EQ(opr.DllErrCode(), 7);

    std::vector<std::tuple<std::string, TZKSkipTypes, int>> seen;
    master.OnSkipped = [&](TZKMaster&, const std::string& name, TZKSkipTypes type, int& extError) {
        seen.emplace_back(name, type, extError);
        if (type == TZKSkipTypes::stBadName) extError = -1;  // a handler may stop the run
    };
    EXPECT_EQ(Call(zacSkipped, 0, readError, 0, u"c.txt"), 1);
    EXPECT_EQ(Call(zacSkipped, 0, static_cast<uint32_t>(TZKSkipTypes::stBadName) + 1, 0, u"../d"), 1);
    EXPECT_EQ(Call(zacSkipped, 0, 200, 0, u"e"), 0);  // an unknown type is a general failure
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], std::make_tuple(std::string("c.txt"), TZKSkipTypes::stReadError, -msg::SkippingNotAllowed));
    EXPECT_EQ(std::get<1>(seen[2]), TZKSkipTypes::stGeneralExtractError);
}

TEST_F(CallbackTest, AFailingHandlerAnswersMinusFourAndCancelsTheRest) {
    master.OnExtractOverwrite = [](TZKMaster&, const std::string&, bool, bool&, int) {
        throw std::runtime_error("boom");
    };
    EXPECT_EQ(Call(zacOverwrite, 1, 0, 1, u"x"), -4);
    EXPECT_EQ(opr.Cancel(), msg::EventHandlerException);
    EXPECT_EQ(opr.EventError, " #12 \"boom\"");
    master.OnProgress = [](TZKMaster&, const TZKProgressDetails&) { throw 42; };
    EXPECT_EQ(Call(zacProgress), -4);
    EXPECT_EQ(opr.EventError, " #12 \"boom\"");  // the first failure is the one kept
    master.OnProgress = nullptr;
    EXPECT_EQ(Call(zacCount, 3), -2);
}

TEST_F(CallbackTest, OverwriteAndNameQuestions) {
    EXPECT_EQ(Call(zacOverwrite, 1, 0, 2, u"x"), 0);  // no handler: the engine follows its options
    bool sawOlder = true;
    master.OnExtractOverwrite = [&](TZKMaster&, const std::string&, bool isOlder, bool& doOverwrite, int) {
        sawOlder = isOlder;
        doOverwrite = !doOverwrite;
    };
    EXPECT_EQ(Call(zacOverwrite, 1, 0, 2, u"x"), 2);
    EXPECT_FALSE(sawOlder);
    EXPECT_EQ(Call(zacOverwrite, 0, 0, 1, u"x"), 1);
    EXPECT_TRUE(sawOlder);

    std::string offered;
    master.OnSetExtName = [&](TZKMaster&, std::string& name, const std::string&, bool& changed) {
        name = offered;
        changed = true;
    };
    offered = "renamed.txt";
    EXPECT_EQ(Call(zacExtName, 0, 0, 0, u"a.txt"), 1);
    EXPECT_EQ(Answer(), "renamed.txt");
    offered = "folder\\";
    EXPECT_EQ(Call(zacExtName, 0, 0, 0, u"a.txt"), 0);  // a file may not become a folder
    offered = "a.txt";
    EXPECT_EQ(Call(zacExtName, 0, 0, 0, u"a.txt"), 0);  // unchanged
}

TEST_F(CallbackTest, ProgressFollowsTheSnapshotAndStopEndsAnItem) {
    std::vector<TZKProgressType> orders;
    master.OnProgress = [&](TZKMaster&, const TZKProgressDetails& d) { orders.push_back(d.Order()); };
    Call(zacEndOfBatch);  // no batch open: no event
    Call(zacCount, 2);
    rec.File_Size = 0;
    Call(zacSize);
    text_ = u"a.txt";
    rec = TZCallBackStruct{};
    EXPECT_EQ(Call(zacItem, 0, 0, 0, u"a.txt"), 0);
    EXPECT_EQ(opr.Progress().ItemName(), "a.txt");
    EXPECT_EQ(opr.Progress().TotalCount(), 2);
    opr.Progress().Stop = true;
    rec = TZCallBackStruct{};
    rec.Caller = &opr;
    rec.Check = ZE_CALLBACK_CHECK;
    rec.ActionCode = zacItem;
    rec.File_Size = -1;
    EXPECT_EQ(ZCallbackFunc(&rec), 1);
    Call(zacXItem, 9);
    EXPECT_EQ(opr.Progress().ItemName(), "*Loading Directory");
    Call(zacEndOfBatch);
    EXPECT_EQ(orders, (std::vector<TZKProgressType>{TZKProgressType::TotalFiles2Process,
                                                     TZKProgressType::TotalSize2Process, TZKProgressType::NewFile,
                                                     TZKProgressType::EndOfItem, TZKProgressType::NewExtra,
                                                     TZKProgressType::EndOfBatch}));
}

TEST_F(CallbackTest, PasswordFromTheHandlerTheDialogOrNobody) {
    // Unattended and no handler: the message, no password.
    EXPECT_EQ(Call(zacPassword, 3, 0, 0, u"secret.txt"), 2);
    EXPECT_EQ(rec.Arg1, 0u);
    EXPECT_TRUE(Reported(msg::NoExtractPassword));

    master.OnPasswordError = [](TZKMaster&, bool, std::string& password, const std::string&, uint32_t& repeat,
                                TMsgDlgBtn&) {
        password = "open sesame";
        repeat = 20;
    };
    EXPECT_EQ(Call(zacPassword, 3, 0, 0, u"secret.txt"), 1);
    EXPECT_EQ(Answer(), "open sesame");
    EXPECT_EQ(rec.Arg1, 15u);
    master.OnPasswordError = [](TZKMaster&, bool, std::string& password, const std::string&, uint32_t&,
                                TMsgDlgBtn& action) {
        password = "ignored";
        action = TMsgDlgBtn::mbAbort;
    };
    EXPECT_EQ(Call(zacPassword, 1, 0, 0, u"secret.txt"), -2);
    EXPECT_EQ(opr.Cancel(), msg::UserAbort);

    // Attended without a handler: the component's dialog.
    master.OnPasswordError = nullptr;
    StartWith("", false);
    ui->QueueAnswer(platform::mrOk, "typed");
    EXPECT_EQ(Call(zacPassword, 1, 0, 0, u"secret.txt"), 1);
    EXPECT_EQ(Answer(), "typed");
    ASSERT_FALSE(ui->shown.empty());
    EXPECT_TRUE(ui->shown.back().dialog.passwordField);
    EXPECT_EQ(ui->shown.back().dialog.buttons.size(), 3u);
    ui->QueueAnswer(platform::mrCancel);
    EXPECT_EQ(Call(zacPassword, 1, 0, 0, u"secret.txt"), 2);
    ui->QueueAnswer(platform::mrAll);
    EXPECT_EQ(Call(zacPassword, 1, 0, 0, u"secret.txt"), 3);
}

TEST_F(CallbackTest, NothingIsDoneWhileTheObjectIsBeingKilled) {
    opr.Kill();
    EXPECT_EQ(Call(zacKey, 5), 0);
    EXPECT_EQ(opr.DLLOperKey(), 0u);
    EXPECT_EQ(opr.Cancel(), msg::UserCanceled);
}

class ThrowingStream : public platform::TMemoryStream {
public:
    int64_t Read(void*, int64_t) override { throw platform::EStreamError("device gone"); }
};

TEST_F(CallbackTest, StreamsAreReadWithinWhatRemainsAndFailuresAnswerMinusFive) {
    platform::TMemoryStream source;
    source.Write("0123456789", 10);
    opr.Pipes.push_back({&source, "data.bin", {10, 0x5A2B6000, 0x20}});
    TZStreamRec s{};
    s.Caller = &opr;
    s.Check = ZE_STREAM_CHECK;
    s.OpCode = ZE_STREAM_IDENTIFY;
    EXPECT_EQ(ZStreamFunc(&s), 1);
    EXPECT_EQ(s.ArgLL, 10);
    EXPECT_EQ(s.ArgD, 0x5A2B6000u);
    s.OpCode = ZE_STREAM_OPEN;
    EXPECT_EQ(ZStreamFunc(&s), 1);
    EXPECT_EQ(s.StrmP, &source);
    s.OpCode = ZE_STREAM_SEEK;
    s.ArgLL = 6;
    s.ArgI = 0;
    EXPECT_EQ(ZStreamFunc(&s), 1);
    uint8_t buffer[16] = {};
    s.OpCode = ZE_STREAM_READ;
    s.BufP = buffer;
    s.ArgI = 16;
    EXPECT_EQ(ZStreamFunc(&s), 0);  // only 4 bytes were left
    EXPECT_EQ(s.ArgI, 4);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 4), "6789");
    s.Number = 1;
    s.OpCode = ZE_STREAM_OPEN;
    EXPECT_EQ(ZStreamFunc(&s), 0);  // no such pipe

    ThrowingStream broken;
    broken.Write("x", 1);
    broken.SetPosition(0);
    s.StrmP = &broken;
    s.OpCode = ZE_STREAM_READ;
    s.ArgI = 1;
    EXPECT_EQ(ZStreamFunc(&s), -5);
}

}  // namespace
}  // namespace lunaro::archive
