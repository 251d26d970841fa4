// The About dialog (name and version from the version resource, the icon, the keys that
// close it), and the place where both modal dialogs open.
#include "app/app.h"
#include "app/resource.h"
#include "harness/dialog_driver.h"
#include "harness/program.h"
#include "settings/dialogs.h"

namespace {

class Dialogs : public ProgramTest {
  protected:
    DialogDriver driver;
};

TEST_F(Dialogs, AboutShowsTheVersionResourcesNameAndVersionBesideTheWholeIcon) {
    std::string title, name, version;
    HANDLE image = nullptr;
    RECT iconRoom = {};
    driver.Then([&](HWND dialog) {
        char text[64] = "";
        GetWindowTextA(dialog, text, sizeof text);
        title = text;
        name = DialogDriver::ItemText(dialog, IDC_ABOUT_NAME);
        version = DialogDriver::ItemText(dialog, IDC_ABOUT_VERSION);
        HWND icon = GetDlgItem(dialog, IDC_ABOUT_ICON);
        image = reinterpret_cast<HANDLE>(SendMessageA(icon, STM_GETICON, 0, 0));
        GetClientRect(icon, &iconRoom);
        DialogDriver::Click(dialog, IDOK);
    });
    SendMessageA(MainWindow, WM_COMMAND, IDM_ABOUT, 0);
    EXPECT_EQ(title, "Routelark");
    EXPECT_EQ(name, "Routelark") << "the version resource's ProductName";
    EXPECT_EQ(version, "Version 1.0.0") << "the version resource's ProductVersion";
    EXPECT_NE(image, nullptr) << "the program icon";
    EXPECT_EQ(iconRoom.right, GetSystemMetrics(SM_CXICON)) << "drawn whole inside its edge";
    EXPECT_EQ(iconRoom.bottom, GetSystemMetrics(SM_CYICON));
}

TEST_F(Dialogs, AboutIgnoresEscAndClosesWithOkReturnOrTheCloseBox) {
    const struct {
        const char* way;
        DialogDriver::Step step;
        INT_PTR result;
    } ways[] = {
        {"OK", [](HWND dialog) { DialogDriver::Click(dialog, IDOK); }, 1},
        {"Return", [](HWND dialog) { DialogDriver::PressKey(dialog, VK_RETURN); }, 1},
        {"close box", DialogDriver::ClickCloseBox, 0},
    };
    for (const auto& way : ways) {
        bool openAfterEsc = false;
        driver.Then([](HWND dialog) { DialogDriver::PressKey(dialog, VK_ESCAPE); });
        driver.Then([&](HWND dialog) { openAfterEsc = IsWindowVisible(dialog); });
        driver.Then(way.step);
        INT_PTR result = DialogBoxParamA(ProgramInstance, MAKEINTRESOURCEA(IDD_ABOUT), MainWindow,
                                         AboutDialogProc, 0);
        EXPECT_TRUE(openAfterEsc) << way.way;
        EXPECT_EQ(result, way.result) << way.way;
    }
    EXPECT_EQ(driver.Abandoned(), 0);
}

TEST_F(Dialogs, BothOpenModalAndCentredOnTheDesktopWhereverTheMainWindowIs) {
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    const POINT places[] = {{0, 0}, {desktop.right - 250, desktop.bottom - 150}};
    const struct {
        int command;
        int closer;
    } dialogs[] = {{IDM_SETUP, IDCANCEL}, {IDM_ABOUT, IDOK}};
    for (const POINT& place : places) {
        for (const auto& dialog : dialogs) {
            SCOPED_TRACE("command " + std::to_string(dialog.command) + ", main window at " +
                         std::to_string(place.x) + "," + std::to_string(place.y));
            SetWindowPos(MainWindow, nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            RECT rect = {};
            HWND owner = nullptr;
            BOOL ownerEnabled = TRUE;
            driver.Then([&](HWND window) {
                GetWindowRect(window, &rect);
                owner = GetWindow(window, GW_OWNER);
                ownerEnabled = IsWindowEnabled(MainWindow);
                DialogDriver::Click(window, dialog.closer);
            });
            SendMessageA(MainWindow, WM_COMMAND, dialog.command, 0);
            int width = rect.right - rect.left, height = rect.bottom - rect.top;
            EXPECT_GT(width, 0);
            EXPECT_EQ(rect.left, (desktop.right - desktop.left - width) / 2);
            EXPECT_EQ(rect.top, (desktop.bottom - desktop.top - height) / 2);
            EXPECT_EQ(owner, MainWindow);
            EXPECT_FALSE(ownerEnabled) << "the main window waits while the dialog is open";
        }
    }
    EXPECT_EQ(driver.Abandoned(), 0);
}

} // namespace
