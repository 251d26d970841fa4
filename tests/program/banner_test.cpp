// The banner button: the page file written at start-up, and the click that asks the shell
// for the page's browser and opens the game's home page in it.
#include "app/app.h"
#include "app/resource.h"
#include "harness/program.h"
#include <shlwapi.h>
#include <fstream>
#include <sstream>

namespace {

std::string ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

class Banner : public ProgramTest {};

TEST_F(Banner, PageFileIsWrittenByteForByte) {
    const std::string expected =
        "<HTML>\r\n"
        "<HEAD>\r\n"
        "<TITLE>Starlane</TITLE>\r\n"
        "</HEAD>\r\n"
        "<BODY BGCOLOR=\"#000000\" TEXT=\"#C0C0FF\" LINK=\"#C0C0FF\"VLINK=\"#B0B0FF\" "
        "ALINK=\"#FF0000\">\r\n"
        "<CENTER>\r\n"
        "<H1>Click <A HREF=\"" +
        std::string(kStarlaneHomePage) +
        "\"> here</A> to go to the Starlane main page\r\n"
        "</H1>\r\n"
        "</CENTER>\r\n"
        "</BODY>\r\n"
        "</HTML>\r\n";
    EXPECT_EQ(ReadFile("starlane.htm"), expected);
}

TEST_F(Banner, PageFileReplacesALongerOldOne) {
    const std::string written = ReadFile("starlane.htm");
    ShutDown();
    {
        std::ofstream old("starlane.htm", std::ios::binary);
        old << std::string(5000, 'x');
    }
    WriteBannerPage();
    EXPECT_EQ(ReadFile("starlane.htm"), written);
}

TEST_F(Banner, ButtonSitsOnTheToolbarWithItsBitmap) {
    EXPECT_EQ(GetParent(BannerButton), ToolbarWindow);
    EXPECT_EQ(GetDlgCtrlID(BannerButton), IDC_BANNER);
    EXPECT_NE(SendMessageA(BannerButton, BM_GETIMAGE, IMAGE_BITMAP, 0), 0);
}

// The shell's association for .htm pages names a recorder in place of a browser.
class BannerClick : public Banner {
  protected:
    void SetUp() override {
        // Tests run in parallel processes; the association is the whole prefix's.
        associationLock = CreateMutexA(nullptr, FALSE, "RoutelarkTestFileAssociation");
        WaitForSingleObject(associationLock, INFINITE);
        Banner::SetUp();
        char exe[MAX_PATH];
        GetModuleFileNameA(nullptr, exe, sizeof exe);
        std::string folder(exe);
        folder.erase(folder.find_last_of('\\') + 1);
        recorder = folder + "page_recorder.exe";
        output = folder + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".out";
        DeleteFileA(output.c_str());
        SetEnvironmentVariableA("ROUTELARK_RECORDER_OUT", output.c_str());
        std::string command = "\"" + recorder + "\" \"%1\"";
        // Wine reads file associations from HKEY_CLASSES_ROOT only; the old one comes back.
        char previous[256] = "";
        LONG size = sizeof previous;
        hadAssociation =
            RegQueryValueA(HKEY_CLASSES_ROOT, ".htm", previous, &size) == ERROR_SUCCESS;
        previousAssociation = previous;
        RegSetValueA(HKEY_CLASSES_ROOT, ".htm", REG_SZ, "RoutelarkTestPage", 0);
        RegSetValueA(HKEY_CLASSES_ROOT, "RoutelarkTestPage\\shell\\open\\command", REG_SZ,
                     command.c_str(), 0);
    }
    void TearDown() override {
        SHDeleteKeyA(HKEY_CLASSES_ROOT, "RoutelarkTestPage");
        if (hadAssociation)
            RegSetValueA(HKEY_CLASSES_ROOT, ".htm", REG_SZ, previousAssociation.c_str(), 0);
        else
            SHDeleteKeyA(HKEY_CLASSES_ROOT, ".htm");
        Banner::TearDown();
        DeleteFileA(output.c_str());
        ReleaseMutex(associationLock);
        CloseHandle(associationLock);
    }
    std::string recorder, output, previousAssociation;
    bool hadAssociation = false;
    HANDLE associationLock = nullptr;
};

TEST_F(BannerClick, OpensTheHomePageInThePagesProgram) {
    SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(IDC_BANNER, BN_CLICKED),
                 reinterpret_cast<LPARAM>(BannerButton));
    ASSERT_TRUE(
        PumpUntil([&] { return ReadFile(output.c_str()).find('\n') != std::string::npos; }, 20000))
        << "the recorder was not started";
    std::string commandLine = ReadFile(output.c_str());
    EXPECT_NE(commandLine.find("page_recorder.exe"), std::string::npos) << commandLine;
    EXPECT_NE(commandLine.find(kStarlaneHomePage), std::string::npos) << commandLine;
}

TEST_F(BannerClick, CommandZeroFromAnotherControlIsNoClick) {
    SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), 0);
    EXPECT_EQ(GetFileAttributesA(output.c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace
