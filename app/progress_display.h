#pragma once
// How a transfer's events show in a progress view: the bar follows the byte
// counts, the status line tells the state and the figures, and every data
// report lets the user interface handle what is pending so it stays alive
// during the otherwise blocking transfer.
#include <cstdint>

#include "app/progress_view.h"
#include "app/transfer_status_text.h"
#include "download/download_types.h"
#include "net/socket/socket_hooks.h"

namespace lunaro::app {

inline constexpr const char* kTransferStoppedText = "Download Encerrado...";
inline constexpr const char* kTransferFinishedText = "Download Finalizado.";
inline constexpr const char* kTransferPausedText = "Download Pausado...";

// componentStatus is the download component's own status, which tells a
// finished transfer from a stopped or paused one.
void ShowHookStatus(ProgressView& view, download::TDownloadStatus componentStatus, net::THookSocketReason reason,
                    int32_t bytesToDownload, int32_t bytesDownloaded);

// Lets the user interface handle its pending events (repaint, input, the
// close question). Raises EInstallInterrupted when the view's operator asked
// to stop meanwhile.
void LetPendingEventsThrough(ProgressView& view);

// Raises EInstallInterrupted as LetPendingEventsThrough does.
void ShowHookMonitor(ProgressView& view, int32_t bytesToDownload, int32_t bytesDownloaded, double averageSpeed,
                     uint16_t remainingSeconds, const platform::NumberSeparators& separators);

}  // namespace lunaro::app
