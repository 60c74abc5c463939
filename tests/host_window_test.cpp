// The substitute host's windows and list-area objects: the object record as
// the external receives it, the parameters answered during object messages,
// the order and device contexts of the messages, and closing. A stand-in
// entry point records what reaches the external; one case drives the real
// external's list window through its scroll bar.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host.h"
#include "host/callbacks.h"
#include "host/hostobj.h"
#include "support/list_host.h"
#ifdef _WIN32
#include <windows.h>
#else
#include "platform/window_record.h"
#endif

using vhost::Arg;
using vhost::Host;

namespace {

bool WindowExists(void* handle) {
#ifdef _WIN32
    return IsWindow(static_cast<HWND>(handle)) != 0;
#else
    return winrec::IsLive(handle);
#endif
}

int32_t W(const void* p) { return static_cast<int32_t>(reinterpret_cast<uintptr_t>(p)); }

// What the stand-in entry saw of one message.
struct Seen {
    int32_t message;
    void* record;
    void* drawDC;
    double paramCount;
    std::string firstParam;
    double thirdParam;
    double status;
};
std::vector<Seen> gSeen;

double Number(HostCallback cb, int16_t ref) {
    double d = -99;
    cb(kReqGetFldNum, ref, W(&d));
    return d;
}

int32_t VANDU_STDCALL StandIn(int32_t message, void* objRef, uint32_t, uint32_t, uint32_t,
                              void* callback) {
    const auto cb = reinterpret_cast<HostCallback>(callback);
    void* rec = *static_cast<void**>(objRef);
    Seen s{message, rec, rec ? ReadAt<void*>(rec, hostobj::kDrawDC) : nullptr, 0, "", 0, 0};
    s.paramCount = Number(cb, kRefParamCount);
    char text[64] = {0};
    cb(kReqGetFldVal, kRefParam1, kTypeCText, static_cast<int32_t>(sizeof text), W(text));
    s.firstParam = text;
    s.thirdParam = Number(cb, kRefParam1 + 2);
    s.status = Number(cb, kRefStatus);
    gSeen.push_back(s);
    if (message == 1) {
        const double five = 5;
        cb(kReqSetFldNum, kRefStatus, W(&five));
    } else if (message == 156) {
        const double written = 42;
        cb(kReqSetFldNum, kRefParam1 + 2, W(&written));  // a literal parameter of the object
    } else if (message == 159) {
        std::memcpy(static_cast<uint8_t*>(rec) + hostobj::kTemplateText, kAreaTemplate,
                    sizeof kAreaTemplate);
    }
    return 0;
}

class HostWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        gSeen.clear();
        host_ = Host::CreateWithEntry(&StandIn, vhost::Options());
    }
    std::vector<int32_t> Messages() const {
        std::vector<int32_t> m;
        for (const Seen& s : gSeen) m.push_back(s.message);
        return m;
    }
    static std::vector<Arg> Params(const std::string& list, const Arg& dataField = Arg::Text("pick")) {
        return {Arg::Text(list), Arg::Num(52), Arg::Num(8), Arg::Num(21), dataField,
                Arg::Text("dclk"), Arg::Text("clk")};
    }
    std::unique_ptr<Host> host_;
};

TEST_F(HostWindowTest, ObjectRecordAsTheExternalReceivesIt) {
    const int32_t w = host_->OpenWindow(300, 200);
    ASSERT_EQ(w, 1);
    vhost::AreaFont font;
    font.face = "Face X";
    font.size = 15;
    font.weight = 700;
    host_->Variable("fieldName") = vhost::Value::Text("chosen");
    ASSERT_EQ(host_->PlaceArea(w, 10, 20, 210, -180, Params("people"), font), 1);
    ASSERT_EQ(host_->PlaceArea(w, 0, 0, 5, 5, Params("other", Arg::Var("fieldName"))), 2);
    EXPECT_EQ(Messages(), (std::vector<int32_t>{159, 156, 159, 156}));

    const uint8_t* rec = static_cast<const uint8_t*>(host_->ObjectRecord(1));
    EXPECT_EQ(gSeen[0].record, rec);
    EXPECT_EQ(gSeen[2].record, host_->ObjectRecord(2));
    EXPECT_EQ(HostObjNumber(rec), 1);
    EXPECT_EQ(HostObjNumber(host_->ObjectRecord(2)), 2);
    ASSERT_NE(host_->WindowHandle(w), nullptr);
    EXPECT_EQ(ReadAt<void*>(rec, hostobj::kObjWindow), host_->WindowHandle(w));
    EXPECT_EQ(ReadAt<void*>(rec, hostobj::kDrawWindow), host_->WindowHandle(w));
    const int16_t expected[4] = {10, 20, 210, -180};
    for (uint32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(ReadAt<int16_t>(rec, hostobj::kObjRect + 2 * i), expected[i]);
        EXPECT_EQ(ReadAt<int16_t>(rec, hostobj::kObjRect2 + 2 * i), expected[i]);
    }
    EXPECT_STREQ(ReadAt<const char*>(rec, hostobj::kFontName), "Face X");
    EXPECT_EQ(ReadAt<int16_t>(rec, hostobj::kFontSize), 15);
    EXPECT_EQ(ReadAt<uint8_t>(rec, hostobj::kFontPitch), 0x31);
    EXPECT_EQ(ReadAt<int16_t>(rec, hostobj::kFontWeight), 700);
    EXPECT_EQ(ReadAt<void*>(rec, hostobj::kDrawDC), nullptr);
    EXPECT_EQ(ReadAt<void*>(rec, hostobj::kAreaSlot), nullptr);
    EXPECT_STREQ(reinterpret_cast<const char*>(rec + hostobj::kTemplateText), kAreaTemplate);
    // The data field exists, named directly or through a variable.
    EXPECT_TRUE(host_->HasVariable("pick"));
    EXPECT_TRUE(host_->HasVariable("chosen"));
    EXPECT_EQ(host_->StateOfArea(1).live, true);
    EXPECT_EQ(host_->StateOfArea(1).hasRecord, false);
    EXPECT_FALSE(host_->SendScroll(1, 1));  // no area record, no scroll bar
}

TEST_F(HostWindowTest, ObjectMessagesAnswerTheObjectsParametersAndLeaveTheCall) {
    host_->CallPosition(10, {Arg::Text("call"), Arg::Num(1)});
    const int32_t w = host_->OpenWindow(300, 200);
    host_->PlaceArea(w, 0, 0, 100, 100, Params("people"));
    host_->PlaceArea(w, 0, 100, 100, 200, Params("other"));
    host_->PaintWindow(w);
    host_->CallPosition(11, {Arg::Text("again")});
    ASSERT_EQ(Messages(), (std::vector<int32_t>{1, 159, 156, 159, 156, 151, 151, 1}));
    for (size_t i : {1u, 2u, 5u}) {
        EXPECT_EQ(gSeen[i].paramCount, 7) << i;
        EXPECT_EQ(gSeen[i].firstParam, "people") << i;
        EXPECT_EQ(gSeen[i].status, 5) << i;  // the last call's status stays
    }
    EXPECT_EQ(gSeen[1].thirdParam, 8);
    EXPECT_EQ(gSeen[5].thirdParam, 42);  // what 156 wrote stays with the object
    EXPECT_EQ(gSeen[6].firstParam, "other");
    EXPECT_EQ(gSeen[6].thirdParam, 42);
    EXPECT_EQ(gSeen[7].paramCount, 1);
    EXPECT_EQ(gSeen[7].firstParam, "again");
}

TEST_F(HostWindowTest, MessagesGoWhereAndWithTheDeviceContextTheHostSays) {
    const int32_t w1 = host_->OpenWindow(300, 200), w2 = host_->OpenWindow(100, 100);
    ASSERT_EQ(w2, 2);
    const int32_t a1 = host_->PlaceArea(w1, 0, 0, 100, 100, Params("a"));
    const int32_t a2 = host_->PlaceArea(w1, 100, 0, 200, 100, Params("b"));
    const int32_t a3 = host_->PlaceArea(w2, 0, 0, 50, 50, Params("c"));
    gSeen.clear();

    host_->PaintWindow(w1);
    host_->DesignDraw(a1);
    host_->ClipArea(a1);
    host_->ReinitArea(a2);
    ASSERT_EQ(Messages(), (std::vector<int32_t>{151, 151, 147, 152, 148}));
    EXPECT_EQ(gSeen[0].record, host_->ObjectRecord(a1));
    EXPECT_EQ(gSeen[1].record, host_->ObjectRecord(a2));
    EXPECT_NE(gSeen[0].drawDC, nullptr);
    EXPECT_EQ(gSeen[1].drawDC, gSeen[0].drawDC);  // one paint, one DC
    EXPECT_NE(gSeen[2].drawDC, nullptr);
    EXPECT_EQ(gSeen[3].drawDC, nullptr);  // the external takes its own
    EXPECT_EQ(ReadAt<void*>(host_->ObjectRecord(a1), hostobj::kDrawDC), nullptr);

    gSeen.clear();
    host_->DestroyArea(a1);
    host_->ClipArea(a1);
    host_->PaintWindow(w1);
    EXPECT_EQ(Messages(), (std::vector<int32_t>{149, 151}));
    EXPECT_EQ(gSeen[1].record, host_->ObjectRecord(a2));
    EXPECT_FALSE(host_->StateOfArea(a1).live);
    EXPECT_NE(host_->ObjectRecord(a1), nullptr);  // the record stays with the host

    gSeen.clear();
    void* handle = host_->WindowHandle(w1);
    host_->CloseWindow(w1);
    ASSERT_EQ(Messages(), (std::vector<int32_t>{149}));
    EXPECT_EQ(gSeen[0].record, host_->ObjectRecord(a2));
    EXPECT_FALSE(WindowExists(handle));
    EXPECT_EQ(host_->WindowHandle(w1), nullptr);
    EXPECT_EQ(host_->PlaceArea(w1, 0, 0, 10, 10, Params("d")), 0);
    EXPECT_FALSE(host_->StateOfArea(a2).live);
    EXPECT_TRUE(host_->StateOfArea(a3).live);
}

TEST_F(HostWindowTest, WindowsCloseBeforeTheExternalIsUnloaded) {
    host_->Load();
    const int32_t w1 = host_->OpenWindow(100, 100), w2 = host_->OpenWindow(100, 100);
    host_->PlaceArea(w1, 0, 0, 10, 10, Params("a"));
    host_->PlaceArea(w2, 0, 0, 10, 10, Params("b"));
    void* handle = host_->WindowHandle(w2);
    host_->CloseWindow(w1);
    gSeen.clear();
    host_->Unload();
    EXPECT_EQ(Messages(), (std::vector<int32_t>{149, 2}));
    EXPECT_FALSE(WindowExists(handle));

    host_->Load();
    host_->PlaceArea(host_->OpenWindow(100, 100), 0, 0, 10, 10, Params("c"));
    gSeen.clear();
    host_.reset();
    EXPECT_EQ(Messages(), (std::vector<int32_t>{149, 2}));
}

// The real external: the host reads the area's state and its scroll bar,
// and a scroll request reaches the area through the window's procedure.
class HostWindowListTest : public listhost::ListHostTest {};

TEST_F(HostWindowListTest, ScrollRequestsReachTheAreaThroughItsWindow) {
    std::string lines;
    for (int i = 0; i < 40; ++i) lines += "line " + std::to_string(100 + i) + "\r\n";
    ASSERT_EQ(LoadBytes("people", lines), 0);
    const int32_t w = host().OpenWindow(400, 300);
    const int32_t a = host().PlaceArea(w, 10, 10, 330, 210,
                                       {Arg::Text("people"), Arg::Num(52), Arg::Num(1),
                                        Arg::Num(8), Arg::Text("pick"), Arg::Text("dclk")});
    vhost::AreaState s = host().StateOfArea(a);
    ASSERT_TRUE(s.hasRecord);
    EXPECT_FALSE(s.hasScrollBar);  // attached at the first paint
    host().PaintWindow(w);
    s = host().StateOfArea(a);
    ASSERT_TRUE(s.shown);
    ASSERT_TRUE(s.hasScrollBar);
    ASSERT_GT(s.rows, 0);
    ASSERT_LT(s.rows, 40);
    EXPECT_EQ(s.topLine, 0);
    EXPECT_EQ(s.scrollPage, s.rows);
    EXPECT_GT(s.scrollMax, s.scrollMin);

    EXPECT_TRUE(host().SendScroll(a, 1));  // line down
    EXPECT_EQ(host().StateOfArea(a).topLine, 1);
    host().CloseWindow(w);
    EXPECT_FALSE(host().StateOfArea(a).live);
    EXPECT_FALSE(host().SendScroll(a, 1));
}

}  // namespace
