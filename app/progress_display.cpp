#include "app/progress_display.h"

#include "app/install_interrupted.h"
#include "platform/ui_service.h"

namespace lunaro::app {

using download::TDownloadStatus;
using net::THookSocketReason;

void ShowHookStatus(ProgressView& view, TDownloadStatus componentStatus, THookSocketReason reason,
                    int32_t bytesToDownload, int32_t bytesDownloaded) {
    switch (reason) {
        case THookSocketReason::HR_SocketClose:
            if (componentStatus == TDownloadStatus::stStop) {
                view.SetProgressPosition(0);
                view.SetConnectionInfo(kTransferStoppedText);
            } else if (componentStatus == TDownloadStatus::stDownload) {
                view.SetConnectionInfo(kTransferFinishedText);
            } else if (componentStatus == TDownloadStatus::stPause) {
                view.SetConnectionInfo(kTransferPausedText);
            }
            break;
        case THookSocketReason::HR_Connect:
            view.SetProgressPosition(0);
            break;
        case THookSocketReason::HR_ReadCount:
            view.SetProgressMaximum(bytesToDownload);
            view.SetProgressPosition(bytesDownloaded);
            break;
        default:
            break;
    }
}

void LetPendingEventsThrough(ProgressView& view) {
    platform::Ui().ProcessMessages();
    if (view.StopRequested()) throw EInstallInterrupted();
}

void ShowHookMonitor(ProgressView& view, int32_t bytesToDownload, int32_t bytesDownloaded, double averageSpeed,
                     uint16_t remainingSeconds, const platform::NumberSeparators& separators) {
    view.SetProgressPosition(bytesDownloaded);
    LetPendingEventsThrough(view);
    view.SetConnectionInfo(
        FormatTransferStatus(bytesToDownload, bytesDownloaded, averageSpeed, remainingSeconds, separators));
}

}  // namespace lunaro::app
