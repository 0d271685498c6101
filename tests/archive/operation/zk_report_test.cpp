// Reporting through the operation object: what is recorded, what reaches
// OnMessage, and what is shown in which box.
#include <stdexcept>

#include "archive/messages/message_ids.h"
#include "archive/messages/zip_dialog_box.h"
#include "archive/messages/zk_exception.h"
#include "tests/archive/core_fixture.h"

namespace lunaro::archive {
namespace {

using testkit::CoreTest;

class ReportTest : public CoreTest {
protected:
    ReportTest() {
        master.Settings.Unattended = false;
        core.StartUp();
    }
};

TEST_F(ReportTest, ShowMsgRecordsShowsAndReports) {
    core.ShowZipMsg(msg::InputFileMissing, true);
    EXPECT_EQ(core.ErrCode(), msg::InputFileMissing);
    EXPECT_EQ(core.ErrMessage(), "Input file does not exist");
    ASSERT_EQ(ui->shown.size(), 1u);
    const platform::DialogRequest& box = ui->shown[0].dialog;
    EXPECT_EQ(box.text, "Input file does not exist");
    EXPECT_EQ(box.icon, platform::MessageIcon::Information);
    EXPECT_EQ(box.helpContext, 10000);
    ASSERT_EQ(box.buttons.size(), 1u);
    EXPECT_EQ(box.buttons[0].caption, "&OK");
    EXPECT_EQ(messages, (std::vector<std::pair<int, std::string>>{{msg::InputFileMissing, "Input file does not exist"}}));

    // A later message replaces the record and keeps the engine code of the first.
    core.ShowZipMessage(-msg::FileReadError, ": a.zip");
    EXPECT_EQ(core.ErrCode(), msg::FileReadError);
    EXPECT_EQ(core.ErrMessage(), "Error reading file: a.zip");
    EXPECT_EQ(core.DllErrCode(), 0);
}

TEST_F(ReportTest, QuietCodesAndUnattendedShowNoBox) {
    for (int code : {msg::UserCanceled, msg::UserAbort, msg::FileCommentReadError, msg::ZipStructureWarning}) {
        core.ShowZipMsg(code, true);
        EXPECT_EQ(core.ErrCode(), code);
        EXPECT_EQ(messages.back().first, code);
    }
    EXPECT_TRUE(ui->shown.empty());

    master.Settings.Unattended = true;
    core.StartUp();
    core.ShowZipFmtMsg(msg::ExtractDirMustExist, {"c:\\x\\"}, true);
    EXPECT_TRUE(ui->shown.empty());
    EXPECT_EQ(core.ErrCode(), msg::ExtractDirMustExist);
    EXPECT_EQ(core.ErrMessage(), "Extract directory 'c:\\x\\' must exist");
}

TEST_F(ReportTest, ReportMessageKeepsTheFirstError) {
    core.ReportMessage(0, "note");
    EXPECT_EQ(core.ErrCode(), 0);
    core.ReportMessage(11653, "first");
    core.ReportMessage(11654, "second");
    EXPECT_EQ(core.ErrCode(), 11653);
    EXPECT_EQ(core.DllErrCode(), 11653);
    EXPECT_EQ(core.ErrMessage(), "first");
    EXPECT_EQ(messages.size(), 3u);
    EXPECT_TRUE(ui->shown.empty());
}

TEST_F(ReportTest, ReportMsgPrefixesAndDiagLeavesTheErrorAlone) {
    core.ReportMsg(msg::TraceOpeningPart, {"x.z01"});
    EXPECT_EQ(messages.back(), std::make_pair(0, std::string("Trace : GetNewDisk Opening: x.z01")));
    core.ShowZipMsg(msg::CrcError, false);
    core.Diag("quiet");  // verbosity 0: nothing
    EXPECT_EQ(messages.size(), 2u);
    master.Settings.Verbose = true;
    core.StartUp();
    core.ShowZipMsg(msg::CrcError, false);
    core.Diag("loud");
    EXPECT_EQ(messages.back(), std::make_pair(0, std::string("Trace: loud")));
    EXPECT_EQ(core.ErrCode(), msg::CrcError);
    EXPECT_EQ(core.ErrMessage(), "CRC error");
}

TEST_F(ReportTest, ExceptionsReportTheirIdentifier) {
    core.ShowExceptionError(EZipKeeper::CreateResDisp(-msg::CentralHeaderReadError, false));
    EXPECT_EQ(core.ErrCode(), msg::CentralHeaderReadError);
    EXPECT_TRUE(ui->shown.empty());
    core.ShowExceptionError(std::runtime_error("disk on fire"));
    EXPECT_EQ(core.ErrCode(), msg::ErrorException);
    EXPECT_EQ(core.ErrMessage(), "disk on fire");
    EXPECT_EQ(ui->shown.size(), 1u);
}

TEST(EZipKeeperTest, FiveConstructors) {
    const EZipKeeper disp = EZipKeeper::CreateDisp("plain", false);
    EXPECT_EQ(disp.Message(), "plain");
    EXPECT_EQ(disp.ResId(), msg::UnknownFailure);
    EXPECT_FALSE(disp.DisplayMsg());
    EXPECT_EQ(EZipKeeper::CreateResDisp(-10096, false).ResId(), 10096);
    EXPECT_EQ(EZipKeeper::CreateResDisp(-11603, false).ResId(), 11603);
    EXPECT_EQ(EZipKeeper::CreateResDisp(-11604, false).ResId(), -11604);
    EXPECT_EQ(EZipKeeper::CreateResDisp(-10095, false).ResId(), -10095);
    const EZipKeeper withInt = EZipKeeper::CreateResInt(msg::SystemError, 5);
    EXPECT_EQ(withInt.Message(), "System error: 5");
    EXPECT_TRUE(withInt.DisplayMsg());
    EXPECT_EQ(EZipKeeper::CreateResStr(msg::InvalidDrive, "1:\\").Message(), "Not a valid drive: 1:\\");
    EXPECT_EQ(EZipKeeper::CreateRes2Str(msg::CopyFileFailed, "a", "b").Message(),
              "Copying a file from 'a' to 'b' failed");
}

TEST_F(ReportTest, DialogBoxButtonsTypesAndPassword) {
    TZipDialogBox box((kDlgConfirmation << 16) | 42);
    box.Build("", "Sure?", {TMsgDlgBtn::mbNo, TMsgDlgBtn::mbYes, TMsgDlgBtn::mbHelp, TMsgDlgBtn::mbAll,
                            TMsgDlgBtn::mbClose});
    const platform::DialogRequest& request = box.Request();
    EXPECT_EQ(request.icon, platform::MessageIcon::Question);
    EXPECT_TRUE(request.beep);
    EXPECT_EQ(request.helpContext, 42);
    ASSERT_EQ(request.buttons.size(), 4u);
    EXPECT_EQ(request.buttons[0].name, "ZKDlg1");
    EXPECT_EQ(request.buttons[0].caption, "&Yes");
    EXPECT_EQ(request.buttons[1].caption, "&No");
    EXPECT_EQ(request.buttons[2].caption, "CancelAll");
    EXPECT_EQ(request.buttons[2].modalResult, platform::mrAll);
    EXPECT_EQ(request.buttons[3].caption, "&Close");
    EXPECT_EQ(request.defaultResult, platform::mrYes);
    EXPECT_EQ(request.cancelResult, platform::mrNo);
    EXPECT_FALSE(request.passwordField);

    EXPECT_EQ(TZipDialogBox(0).DialogType(), kDlgWarning);
    EXPECT_EQ(TZipDialogBox(0x170000).Request().icon, platform::MessageIcon::None);
    TZipDialogBox retry(kDlgError << 16);
    retry.Build("t", "m", {TMsgDlgBtn::mbRetry, TMsgDlgBtn::mbOK});
    EXPECT_EQ(retry.Request().defaultResult, platform::mrOk);
    EXPECT_EQ(retry.Request().cancelResult, platform::mrOk);

    // The password box through ZipMessageDialog: OK yields the typed text.
    ui->QueueAnswer(platform::mrOk, "s3cret");
    std::string text = "Enter Password ";
    EXPECT_EQ(core.ZipMessageDialog("", text, {TMsgDlgBtn::mbOK, TMsgDlgBtn::mbCancel}, kDlgPassword << 16),
              platform::mrOk);
    EXPECT_EQ(text, "s3cret");
    EXPECT_TRUE(ui->shown.back().dialog.passwordField);
    EXPECT_FALSE(ui->shown.back().dialog.beep);
    ui->QueueAnswer(platform::mrCancel, "typed");
    text = "Enter Password ";
    EXPECT_EQ(core.ZipMessageDialog("", text, {TMsgDlgBtn::mbOK, TMsgDlgBtn::mbCancel}, kDlgPassword << 16),
              platform::mrCancel);
    EXPECT_EQ(text, "");
}

TEST_F(ReportTest, OnZipDialogAnswersInsteadOfTheBox) {
    platform::SetApplicationTitle("LunaroSoft - Instalador");
    std::string seenTitle;
    int offered = 0;
    master.OnZipDialog = [&](TZKMaster&, const std::string& title, std::string& text, int& result, TMsgDlgButtons) {
        seenTitle = title;
        offered = result;
        text = "answered";
        result = text.size() > 100 ? 0 : platform::mrYes;
    };
    std::string text = "question";
    EXPECT_EQ(core.ZipMessageDialog("", text, {TMsgDlgBtn::mbYes}, kMessageBoxContext), platform::mrYes);
    EXPECT_EQ(text, "answered");
    EXPECT_EQ(seenTitle, "LunaroSoft - Instalador");
    EXPECT_EQ(offered, kMessageBoxContext);
    EXPECT_TRUE(ui->shown.empty());

    // A result outside 1..10 leaves the decision to the box; verbose titles
    // carry the help context.
    master.OnZipDialog = [](TZKMaster&, const std::string&, std::string& text, int& result, TMsgDlgButtons) {
        text = "ignored";
        result = 11;
    };
    master.Settings.Verbose = true;
    core.StartUp();
    text = "question";
    EXPECT_EQ(core.ZipMessageDlgEx("Title", text, {TMsgDlgBtn::mbOK}, kMessageBoxContext), platform::mrOk);
    ASSERT_EQ(ui->shown.size(), 1u);
    EXPECT_EQ(ui->shown[0].dialog.title, "Title   (10000)");
    EXPECT_EQ(ui->shown[0].dialog.text, "question");
}

}  // namespace
}  // namespace lunaro::archive
