#pragma once

#include "platform.h"

class QWidget;

namespace runetally {

// What a window's commands need of Qt beyond their window. File dialogs open over that window;
// show() and follower() reach the program's shared windows (programwindows.cpp).
class QtPlatform : public Platform {
public:
    explicit QtPlatform(QWidget* window) : window_(window) {}

    void showMessage(std::string_view text) override;
    Answer ask(std::string_view question, std::span<const Answer> answers,
               Answer byDefault) override;
    std::optional<std::string> chooseFileToOpen() override;
    std::optional<std::string> chooseFileToSave(std::string_view suggested) override;
    // Kept in the user's settings.
    std::vector<std::string> recentFiles() const override;
    void keepRecentFiles(std::span<const std::string> paths) override;
    void copyText(std::string_view text) override;
    void show(Window window) override;
    MainFollower* follower() override;

private:
    QWidget* window_;
};

} // namespace runetally
