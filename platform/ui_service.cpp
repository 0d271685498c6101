#include "platform/ui_service.h"

#include <cstdio>
#include <mutex>

namespace lunaro::platform {

namespace {

std::mutex& UiLock() {
    static std::mutex lock;
    return lock;
}

std::shared_ptr<UiService>& Current() {
    static std::shared_ptr<UiService> current = std::make_shared<HeadlessUi>();
    return current;
}

std::string& Title() {
    static std::string title;
    return title;
}

}  // namespace

UiHandle Ui() {
    std::lock_guard<std::mutex> guard(UiLock());
    return UiHandle(Current());
}

std::shared_ptr<UiService> SetUi(std::shared_ptr<UiService> service) {
    std::lock_guard<std::mutex> guard(UiLock());
    if (!service) service = std::make_shared<HeadlessUi>();
    std::swap(service, Current());
    return service;
}

const std::string& ApplicationTitle() { return Title(); }
void SetApplicationTitle(const std::string& title) { Title() = title; }

int HeadlessUi::MessageBox(const MessageBoxRequest& request) {
    std::fprintf(stderr, "[%s] %s\n", request.caption.c_str(), request.text.c_str());
    return request.defaultButton;
}

int HeadlessUi::ShowDialog(DialogRequest& request) {
    std::fprintf(stderr, "[%s] %s\n", request.title.c_str(), request.text.c_str());
    request.password.clear();
    return request.defaultResult;
}

int ScriptedUi::MessageBox(const MessageBoxRequest& request) {
    int result = request.defaultButton;
    if (!answers.empty()) {
        result = answers.front().result;
        answers.pop_front();
    }
    Shown entry;
    entry.box = request;
    entry.answer = result;
    shown.push_back(entry);
    return result;
}

int ScriptedUi::ShowDialog(DialogRequest& request) {
    int result = request.defaultResult;
    std::string password;
    if (!answers.empty()) {
        result = answers.front().result;
        password = answers.front().password;
        answers.pop_front();
    }
    if (request.passwordField) request.password = password;
    Shown entry;
    entry.isDialog = true;
    entry.dialog = request;
    entry.answer = result;
    shown.push_back(entry);
    return result;
}

}  // namespace lunaro::platform
