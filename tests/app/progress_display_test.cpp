#include "app/progress_display.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/app/installer_test_env.h"

namespace lunaro::app {
namespace {

using download::TDownloadStatus;
using net::THookSocketReason;

struct RecordingView : ProgressView {
    void SetProgressMaximum(int32_t value) override { calls.push_back("max " + std::to_string(value)); }
    void SetProgressPosition(int32_t value) override { calls.push_back("pos " + std::to_string(value)); }
    void SetConnectionInfo(const std::string& text) override { calls.push_back(text); }
    std::vector<std::string> calls;
};

std::vector<std::string> StatusCalls(TDownloadStatus status, THookSocketReason reason) {
    RecordingView view;
    ShowHookStatus(view, status, reason, 2000, 500);
    return view.calls;
}

TEST(ProgressDisplay, StatusReportsMoveTheBarAndNameTheState) {
    using V = std::vector<std::string>;
    EXPECT_EQ(StatusCalls(TDownloadStatus::stDownload, THookSocketReason::HR_ReadCount), (V{"max 2000", "pos 500"}));
    EXPECT_EQ(StatusCalls(TDownloadStatus::stDownload, THookSocketReason::HR_Connect), (V{"pos 0"}));
    EXPECT_EQ(StatusCalls(TDownloadStatus::stDownload, THookSocketReason::HR_SocketClose), (V{"Download Finalizado."}));
    EXPECT_EQ(StatusCalls(TDownloadStatus::stStop, THookSocketReason::HR_SocketClose),
              (V{"pos 0", "Download Encerrado..."}));
    EXPECT_EQ(StatusCalls(TDownloadStatus::stPause, THookSocketReason::HR_SocketClose), (V{"Download Pausado..."}));
    EXPECT_EQ(StatusCalls(TDownloadStatus::stNone, THookSocketReason::HR_SocketClose), V{});
    EXPECT_EQ(StatusCalls(TDownloadStatus::stDownload, THookSocketReason::HR_Error), V{});
}

TEST(ProgressDisplay, EveryDataReportLetsPendingEventsThrough) {
    testkit::InstallerTestEnv env;
    RecordingView view;
    ShowHookMonitor(view, 10240000, 1536000, 150.0, 58, {".", ","});
    ShowHookMonitor(view, 10240000, 2048000, 150.0, 57, {".", ","});
    EXPECT_EQ(env.Ui().processMessagesCalls, 2);
    ASSERT_EQ(view.calls.size(), 4u);
    EXPECT_EQ(view.calls[0], "pos 1536000");
    EXPECT_EQ(view.calls[1], "1.500 / 10.000 KB  -  150,00 KB/s  -  00:00:58");
}

}  // namespace
}  // namespace lunaro::app
