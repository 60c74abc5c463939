// The interactive window: a script leaves its window open, input arrives
// as a person's would (SendInput from a timer in the message loop), and the
// transcript reports what the external made of it. Windows only (under Wine
// inside Xvfb here).
#ifdef _WIN32
#include <windows.h>

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "area/arearec.h"
#include "host.h"
#include "host/hostobj.h"
#include "script.h"
#include "support/files.h"
#include "support/window_proc.h"

namespace {

// Sorted on the name (column 4).
constexpr char kFruit[] =
    "01 APPLE  \r\n02 BANANA \r\n03 CHERRY \r\n04 DAMSON \r\n"
    "05 ELDER  \r\n06 FIG    \r\n07 GRAPE  \r\n08 HAZEL  \r\n";

// The person's steps, one per timer tick; the last closes the window.
struct Person {
    vhost::Host* host = nullptr;
    int step = 0;
};
Person* gPerson = nullptr;

void Click(int32_t x, int32_t y, int times) {
    POINT p = {x, y};
    ClientToScreen(static_cast<HWND>(gPerson->host->WindowHandle(1)), &p);
    SetCursorPos(p.x, p.y);
    std::vector<INPUT> in(2 * static_cast<size_t>(times));
    for (size_t i = 0; i < in.size(); ++i) {
        in[i].type = INPUT_MOUSE;
        in[i].mi.dwFlags = i % 2 ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
    }
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

void ClickRow(int32_t row, int times = 1) {
    int32_t x = 0, y = 0;
    ASSERT_TRUE(gPerson->host->RowPoint(1, row, &x, &y));
    Click(x, y, times);
}

// Keys pressed in order, released in reverse.
void Keys(std::vector<WORD> vks) {
    std::vector<INPUT> in;
    for (WORD vk : vks) {
        INPUT i = {};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = vk;
        in.push_back(i);
    }
    for (auto it = vks.rbegin(); it != vks.rend(); ++it) {
        INPUT i = {};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = *it;
        i.ki.dwFlags = KEYEVENTF_KEYUP;
        in.push_back(i);
    }
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

void CALLBACK NextStep(HWND, UINT, UINT_PTR, DWORD) {
    const AreaRec* a = ReadAt<const AreaRec*>(gPerson->host->ObjectRecord(1), hostobj::kAreaSlot);
    switch (gPerson->step++) {
        case 0:  // the scroll bar's down arrow
            Click((a->scrollRect.left + a->scrollRect.right) / 2,
                  a->scrollRect.bottom - GetSystemMetrics(SM_CYVSCROLL) / 2, 1);
            break;
        case 1: ClickRow(0); break;
        case 2: ClickRow(1, 2); break;
        case 3: Keys({VK_DOWN}); break;
        case 4: Keys({'G'}); break;
        case 5: Keys({VK_CONTROL, 'C'}); break;
        default:
            PostMessageA(static_cast<HWND>(gPerson->host->WindowHandle(1)), WM_CLOSE, 0, 0);
            break;
    }
}

TEST(Interactive, PersonsInputIsReportedAndClosingTheWindowEndsTheRun) {
    testfiles::TempDir dir;
    const std::string list = dir.File("fruit.txt");
    testfiles::WriteBytes(list, kFruit);
    std::string error;
    std::unique_ptr<vhost::Host> host = vhost::Host::Create(&error);
    ASSERT_TRUE(host) << error;
    const vhost::Script script = vhost::ParseScript(
        "Vandu.LoadList('fruit','" + list + "',4,1)\n"
        "Open window W 360 120\n"
        "Place area A on W at 10 10 330 70 ('fruit',12,4,10,'pick','dclk')\n"
        "Paint W\n",
        [&host](const std::string& name) { return host->PositionOf(name); });
    Person person;
    person.host = host.get();
    gPerson = &person;
    testwindows::SetClipboardText("before");
    const UINT_PTR timer = SetTimer(nullptr, 0, 250, &NextStep);
    std::ostringstream out, err;
    EXPECT_EQ(0, vhost::RunScript(*host, script, out, err, true));
    KillTimer(nullptr, timer);
    gPerson = nullptr;
    EXPECT_EQ("", err.str());
    EXPECT_EQ(7, person.step);  // every step ran, then the close ended the loop
    EXPECT_FALSE(host->WindowHandle(1));
    EXPECT_FALSE(host->StateOfArea(1).live);  // destroyed with its window

    const std::string t = out.str();
    const size_t input = t.find("Paint W\n");
    ASSERT_NE(std::string::npos, input) << t;
    std::string person_part = t.substr(input + 8);
    // Press lines carry the point, and the type-ahead's jump the top line
    // that framing the selection chose.
    const std::regex expected(
        "Scroll A \\(scroll bar\\)\n"
        "-> top 2\n"
        "Press A at \\d+ \\d+\n"
        "-> selection 2\n"
        "Press A at \\d+ \\d+\n"
        "-> selection 3\n"
        "Press A at \\d+ \\d+\n"
        "-> data field pick = \"CHERRY\"\n"
        "-> procedure dclk\n"
        "Key A down\n"
        "-> selection 4\n"
        "Key A 'g'\n"
        "-> top \\d\n"
        "-> selection 7\n"
        "Key A 'c'\n");
    EXPECT_TRUE(std::regex_match(t.substr(input + 8), expected)) << t;
    std::string clipboard;
    EXPECT_TRUE(host->ClipboardText(&clipboard));
    EXPECT_EQ("07 GRAPE", clipboard);
}

}  // namespace
#endif
