// The real program inside a test process: started with its hidden main window, shut down
// by destroying that window, as a user's close would.
#pragma once
#include "harness/message_box_catcher.h"
#include "harness/pump.h"
#include "harness/scratch_folder.h"
#include <memory>
#include <gtest/gtest.h>
#include <string>

class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Closes the main window and runs the shutdown; true once it is gone.
    bool ShutDown();
    // Shuts down and starts again in the same working folder, as a user's next run would.
    void Restart();
    // Types a host text into the host name box (as the edit control's text).
    void TypeHost(const std::string& text);
    std::string StatusText(int part);
    std::string WindowTitle();

    // Starts the program with its main window hidden.
    void StartTheProgram();
    // Before the program starts: the INI file to start from (in a fresh working folder).
    virtual void PrepareFolder() {}

    std::unique_ptr<ScratchFolder> folder; // the working directory while the program runs
    MessageBoxCatcher messageBoxes{IDOK};
    int started = 0;
    bool visibleAfterStart = false;
};
