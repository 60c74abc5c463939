// Result codes turned into the host's status and error text.
#include <gtest/gtest.h>

#include <string>

#include "entry/report.h"
#include "support/instance.h"

namespace {

std::string Text(Globals* g) { return reinterpret_cast<const char*>(g->textBuf); }

TEST(ReportTest, StatusMapping) {
    testinstance::Instance inst;
    Globals* g = inst.g();
    EXPECT_EQ(10, StatusOfResult(g, 998));
    AssembleErrorText(g);
    EXPECT_EQ("list empty", Text(g));
    g->errorText = nullptr;
    EXPECT_EQ(10, StatusOfResult(g, 999));
    AssembleErrorText(g);
    EXPECT_EQ("line not found", Text(g));
    g->errorText = nullptr;
    EXPECT_EQ(8, StatusOfResult(g, 2));
    EXPECT_EQ(11, StatusOfResult(g, 5));
    EXPECT_EQ(0, StatusOfResult(g, 0));
    EXPECT_EQ(3, StatusOfResult(g, 3));
    EXPECT_EQ(112, StatusOfResult(g, 112));
    AssembleErrorText(g);
    EXPECT_EQ("", Text(g));
    EXPECT_EQ(10, StatusOfResult(g, -3));
    AssembleErrorText(g);
    EXPECT_EQ(" - error# -3", Text(g));
}

TEST(ReportTest, ErrorTextParts) {
    testinstance::Instance inst;
    Globals* g = inst.g();
    g->errorNum = -7;
    g->errorParam = 3;
    AssembleErrorText(g);
    EXPECT_EQ(" - error# -7 - param#3", Text(g));
    g->errorText = "list empty";
    g->errorNum = 0;
    g->errorParam = 0;
    AssembleErrorText(g);
    EXPECT_EQ("list empty", Text(g));
    // A long error text never overruns the buffer.
    const std::string longText(400, 'x');
    g->errorText = longText.c_str();
    g->errorParam = 2;
    AssembleErrorText(g);
    EXPECT_EQ(std::string(255, 'x'), Text(g));
}

}  // namespace
