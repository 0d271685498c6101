#pragma once
// What the non-UI libraries need from a user interface. The application
// registers its window-system implementation at start-up; without one, the
// headless implementation logs to stderr and answers with the default button.
// Tests use the scripted implementation: queued answers and a record of
// everything that was shown.
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace lunaro::platform {

// Modal results, numbered as the platform's dialog results.
enum ModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10,
    mrClose = 11,
};

enum class MessageIcon : uint8_t { None, Information, Warning, Error, Question };

// A plain message box: a text, a caption, an icon and a set of buttons.
struct MessageBoxRequest {
    std::string caption;
    std::string text;
    MessageIcon icon = MessageIcon::None;
    std::vector<ModalResult> buttons{mrOk};  // shown in this order
    ModalResult defaultButton = mrOk;
};

struct DialogButton {
    std::string name;     // control name, e.g. "ZKDlg1"
    std::string caption;  // with '&' marking the accelerator
    int modalResult = mrNone;
};

// A richer dialog (the archive component's message and password box).
struct DialogRequest {
    std::string title;
    std::string text;
    MessageIcon icon = MessageIcon::None;
    bool beep = false;
    int helpContext = 0;
    std::vector<DialogButton> buttons;
    int defaultResult = mrNone;  // the button Enter presses
    int cancelResult = mrNone;   // the button Escape presses
    bool passwordField = false;  // single-line masked field, max 80 characters
    std::string password;        // out: what was typed (when passwordField)
};

class UiService {
public:
    virtual ~UiService() = default;
    virtual int MessageBox(const MessageBoxRequest& request) = 0;
    virtual int ShowDialog(DialogRequest& request) = 0;
    virtual void ProcessMessages() = 0;
    virtual void SetWaitCursor(bool on) = 0;
};

// A share in the service that was current when Ui() was called: a call made
// through it finishes on that service even when another one is installed
// meanwhile (from another thread, or from inside the call itself). Use it
// for one call or one exchange; a handle kept longer keeps an old service.
class UiHandle {
public:
    explicit UiHandle(std::shared_ptr<UiService> service) : service_(std::move(service)) {}
    int MessageBox(const MessageBoxRequest& request) { return service_->MessageBox(request); }
    int ShowDialog(DialogRequest& request) { return service_->ShowDialog(request); }
    void ProcessMessages() { service_->ProcessMessages(); }
    void SetWaitCursor(bool on) { service_->SetWaitCursor(on); }

private:
    std::shared_ptr<UiService> service_;
};

// The process-wide service; never null.
UiHandle Ui();
// Installs a new service and returns the previous one (null restores the
// headless default). A service is freed only when the last share in it
// goes, never under a call still running on it.
std::shared_ptr<UiService> SetUi(std::shared_ptr<UiService> service);

// The application's title ("LunaroSoft - Instalador" in the installer).
const std::string& ApplicationTitle();
void SetApplicationTitle(const std::string& title);

class HeadlessUi : public UiService {
public:
    int MessageBox(const MessageBoxRequest& request) override;
    int ShowDialog(DialogRequest& request) override;
    void ProcessMessages() override {}
    void SetWaitCursor(bool) override {}
};

// Records every box and dialog; answers from a queue, then with the
// request's default button.
class ScriptedUi : public UiService {
public:
    struct Shown {
        bool isDialog = false;
        MessageBoxRequest box;
        DialogRequest dialog;
        int answer = mrNone;
    };
    struct Answer {
        int result = mrOk;
        std::string password;
    };

    int MessageBox(const MessageBoxRequest& request) override;
    int ShowDialog(DialogRequest& request) override;
    void ProcessMessages() override { ++processMessagesCalls; }
    void SetWaitCursor(bool on) override { waitCursor = on; }

    void QueueAnswer(int result, std::string password = {}) { answers.push_back({result, std::move(password)}); }

    std::deque<Answer> answers;
    std::vector<Shown> shown;
    int processMessagesCalls = 0;
    bool waitCursor = false;
};

}  // namespace lunaro::platform
