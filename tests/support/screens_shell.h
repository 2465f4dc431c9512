#pragma once
// The real shell on a fresh program folder with the windows an area registers, driven
// through the command bar and the toolbar; the area's fixtures build on it.
#include "shell/command.h"
#include "shell/mdimain.h"
#include "shell/shell.h"
#include "support/fakes.h"

#include <QApplication>
#include <QToolButton>
#include <QtTest>
#include <functional>
#include <memory>

namespace qb::test {

struct ScreensShell {
    explicit ScreensShell(std::function<void(Shell&)> register_windows)
        : register_windows_(std::move(register_windows)) {}
    ~ScreensShell() { shell.reset(); }
    ScreensShell(const ScreensShell&) = delete;
    ScreensShell& operator=(const ScreensShell&) = delete;

    void open_shell() {
        shell = std::make_unique<Shell>(*fx.core);
        register_windows_(*shell);
        shell->end_program = [] {};
        mdi = shell->mdi();
        mdi->show();
        QApplication::setActiveWindow(mdi);
        shell->command()->show();
        fx.messages.boxes.clear();
    }
    // Ends this run and starts on the same folder as after a restart.
    void restart() {
        shell.reset();
        fx.restart();
        open_shell();
    }

    Core& core() { return *fx.core; }
    void press(int button) { QTest::mouseClick(shell->command()->Image_action(button), Qt::LeftButton); }

    CoreFixture fx;
    std::unique_ptr<Shell> shell;
    MDIMain* mdi = nullptr;

private:
    std::function<void(Shell&)> register_windows_;
};

} // namespace qb::test
