// Drives the program's modal dialogs from inside their own modal loop, so that an in-process
// test can open one with the real command and act in it as a user would.
#pragma once
#include <windows.h>
#include <deque>
#include <functional>
#include <string>

// True for a dialog that a driver takes as the program's own: one that opened while no
// message box call of the program was running.
bool IsDrivenDialog(HWND window);

class DialogDriver {
  public:
    using Step = std::function<void(HWND dialog)>;

    // Hooks the calling thread. A dialog still open giveUpMs after the last step ran is
    // ended by the driver with -1 and counted in Abandoned().
    explicit DialogDriver(unsigned giveUpMs = 5000);
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // Queues a step. Steps run in order, one per timer tick of the open, visible dialog's
    // loop, so each one sees what the messages posted by the one before have done. Steps
    // left when a dialog ends wait for the next one.
    void Then(Step step) { steps.push_back(std::move(step)); }
    int Abandoned() const { return abandoned; }

    // What a user does: a key pressed in the focused control, a button clicked, the
    // caption's close box clicked.
    static void PressKey(HWND dialog, WPARAM key);
    static void Click(HWND dialog, int id);
    static void ClickCloseBox(HWND dialog);
    static std::string ItemText(HWND dialog, int id);

  private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void Begin(HWND dialog);
    void RunNextStep();

    HHOOK hook;
    UINT_PTR timer = 0;
    HWND dialog = nullptr;
    DWORD lastStep = 0;
    unsigned giveUpMs;
    int abandoned = 0;
    std::deque<Step> steps;
};
