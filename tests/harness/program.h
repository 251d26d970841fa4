// The real program inside a test process: started with its hidden main window, shut down
// by destroying that window, as a user's close would.
#pragma once
#include "harness/message_box_catcher.h"
#include "harness/pump.h"
#include <gtest/gtest.h>
#include <string>

class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Closes the main window and runs the shutdown; true once it is gone.
    bool ShutDown();
    // Types a host text into the host name box (as the edit control's text).
    void TypeHost(const std::string& text);
    std::string StatusText(int part);
    std::string WindowTitle();

    MessageBoxCatcher messageBoxes{IDOK};
    int started = 0;
    bool visibleAfterStart = false;
};
