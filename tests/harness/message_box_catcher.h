// Catches the message boxes of the test thread: records each one and answers it with the
// button the test chose, so that no modal box blocks an in-process test.
#pragma once
#include <windows.h>
#include <deque>
#include <functional>
#include <string>
#include <vector>

struct CaughtMessageBox {
    std::string caption;
    std::string text;
    UINT style; // as the program asked for it: MB_ buttons | icon | MB_TOPMOST ...
    HWND owner;
};

// True while the program's MessageBoxA call is running (on the test thread).
bool MessageBoxCallInProgress();

class MessageBoxCatcher {
  public:
    // Installs a CBT hook on the calling thread; boxes are answered with defaultAnswer
    // unless answers were queued.
    explicit MessageBoxCatcher(int defaultAnswer = IDOK);
    ~MessageBoxCatcher();
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

    void QueueAnswer(int button) { answers.push_back(button); }
    void SetDefaultAnswer(int button) { defaultAnswer = button; }
    const std::vector<CaughtMessageBox>& Boxes() const { return boxes; }
    size_t Count() const { return boxes.size(); }
    void Clear() { boxes.clear(); }
    // Runs while each box is up (inside its modal loop), before it is answered.
    std::function<void()> whileShown;

  private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    void Catch(HWND box);

    HHOOK hook;
    int defaultAnswer;
    std::deque<int> answers;
    std::vector<CaughtMessageBox> boxes;
};
