// The substitute host without the external: the script notation and its
// errors, the transcript forms, and the answers of the host callback to
// requests made the way the external makes them.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>

#include "callback.h"
#include "catalogue.h"
#include "catalogue_names.h"
#include "host/atoms.h"
#include "script.h"
#include "state.h"
#include "values.h"

namespace vhost {
namespace {

// ---------------------------------------------------------------------------
// Script notation

int32_t Lookup(const std::string& name) {
    static const char* const entries[] = {VANDU_CATALOGUE_ENTRIES};
    return FindInCatalogue(
        name, [](int32_t p) { return std::string(entries[p - 1]); },
        static_cast<int32_t>(sizeof entries / sizeof entries[0]));
}

Script Parse(const std::string& text) { return ParseScript(text, Lookup); }

std::string Errors(const Script& s) {
    std::string out;
    for (const auto& d : s.errors) out += "line " + std::to_string(d.line) + ": " + d.message + "\n";
    return out;
}

TEST(ScriptParse, CallsTakeLiteralsAndVariables) {
    const Script s = Parse(
        "Vandu.LoadList('people', \"a \"\"b\"\".txt\", 1, -1.5, nLines, #LN)\n"
        "=VanduLineText('it''s', 1e3, .5, +2)\n");
    ASSERT_EQ(Errors(s), "");
    ASSERT_EQ(s.statements.size(), 2u);
    const Statement& load = s.statements[0];
    EXPECT_EQ(load.kind, Statement::kCall);
    EXPECT_EQ(load.position, 10);
    ASSERT_EQ(load.args.size(), 6u);
    EXPECT_EQ(load.args[0].literal.text, "people");
    EXPECT_EQ(load.args[1].literal.text, "a \"b\".txt");
    EXPECT_EQ(load.args[3].literal.number, -1.5);
    EXPECT_TRUE(load.args[4].isVariable);
    EXPECT_EQ(load.args[4].variable, "nLines");
    EXPECT_EQ(load.args[5].variable, "#LN");
    const Statement& text = s.statements[1];
    EXPECT_EQ(text.position, 17);
    EXPECT_EQ(text.args[0].literal.text, "it's");
    EXPECT_EQ(text.args[1].literal.number, 1000);
    EXPECT_EQ(text.args[2].literal.number, 0.5);
    EXPECT_EQ(text.args[3].literal.number, 2);
}

TEST(ScriptParse, FunctionNamesIgnoreCaseAndEmptyArgumentLists) {
    const Script s = Parse("vandu.about()\n=vandulinecount(x)\nVANDU.Test1 ( 'a' )\n");
    ASSERT_EQ(Errors(s), "");
    EXPECT_EQ(s.statements[0].position, 2);
    EXPECT_TRUE(s.statements[0].args.empty());
    EXPECT_EQ(s.statements[1].position, 11);
    EXPECT_EQ(s.statements[2].position, 19);
}

TEST(ScriptParse, OtherStatements) {
    const Script s = Parse(
        "Calculate n as 12\n"
        "calculate t as 'x'\n"
        "Show n\n"
        "Show file 'list.txt'\n"
        "Show file\n"
        "Load\n"
        "Load(st)\n"
        "Unload\n"
        "Echo 'hello # there'\n"
        "Show file 'list.txt' 35 40\n"
        "Show file 'list.txt' 7\n");
    ASSERT_EQ(Errors(s), "");
    ASSERT_EQ(s.statements.size(), 11u);
    EXPECT_EQ(s.statements[0].kind, Statement::kCalculate);
    EXPECT_EQ(s.statements[0].literal.number, 12);
    EXPECT_EQ(s.statements[1].literal.text, "x");
    EXPECT_EQ(s.statements[2].kind, Statement::kShowVariable);
    EXPECT_EQ(s.statements[3].kind, Statement::kShowFile);
    EXPECT_EQ(s.statements[3].name, "list.txt");
    EXPECT_EQ(s.statements[4].kind, Statement::kShowVariable);  // a variable named "file"
    EXPECT_EQ(s.statements[5].kind, Statement::kLoad);
    EXPECT_TRUE(s.statements[5].args.empty());
    ASSERT_EQ(s.statements[6].args.size(), 1u);
    EXPECT_EQ(s.statements[7].kind, Statement::kUnload);
    EXPECT_EQ(s.statements[8].name, "hello # there");
    EXPECT_EQ(s.statements[3].firstLine, 1);
    EXPECT_EQ(s.statements[3].lastLine, INT32_MAX);
    EXPECT_EQ(s.statements[9].firstLine, 35);
    EXPECT_EQ(s.statements[9].lastLine, 40);
    EXPECT_EQ(s.statements[10].firstLine, 7);
    EXPECT_EQ(s.statements[10].lastLine, INT32_MAX);
}

TEST(ScriptParse, CommentsAndBlankLinesKeepLineNumbers) {
    const Script s = Parse(
        "# heading\n"
        "\n"
        "   # indented comment\r\n"
        "Show #LN   # the line count\r\n"
        "#LN is not a statement here: the whole line is a comment\n"
        "Show x#\n");
    ASSERT_EQ(Errors(s), "");
    ASSERT_EQ(s.statements.size(), 2u);
    EXPECT_EQ(s.statements[0].line, 4);
    EXPECT_EQ(s.statements[0].name, "#LN");
    EXPECT_EQ(s.statements[0].source, "Show #LN");
    EXPECT_EQ(s.statements[1].line, 6);
}

TEST(ScriptParse, ScriptsAreUtf8AndTextsReachTheExternalInWindows1252) {
    const Script s = Parse(
        "\xEF\xBB\xBFVandu.SetSelection('people','\xC3\x85" "BERG \xE2\x82\xAC',8,1)\n"  // ÅBERG €
        "Calculate t as '\xCE\xA9'\n"                                               // Ω
        "Echo 'Gr\xC3\xBC\xC3\x9F" "e'\n"                                            // Grüße
        "=VanduLineCount('\xC5')\n");                                                // not UTF-8
    EXPECT_EQ(Errors(s),
              "line 2: the character '\xCE\xA9' (U+03A9) has no Windows-1252 form\n"
              "line 4: the text is not UTF-8\n");
    ASSERT_EQ(s.statements.size(), 2u);
    EXPECT_EQ(s.statements[0].line, 1);  // the byte-order mark is no part of it
    EXPECT_EQ(s.statements[0].args[1].literal.text, "\xC5" "BERG \x80");
    EXPECT_EQ(s.statements[1].name, "Gr\xC3\xBC\xC3\x9F" "e");  // printed as written
}

TEST(ScriptParse, BadLinesAreReportedWithTheirNumbersAndTheRestStillParses) {
    const Script s = Parse(
        "Vandu.Frobnicate(1)\n"
        "Vandu.LoadList('a', 'b, 1, 1)\n"
        "=VanduLineText('a', 1e, 1, 2)\n"
        "Vandu.LoadList('a', 12abc)\n"
        "Vandu.LoadList('a',, 1)\n"
        "Vandu.LoadList('a' 1)\n"
        "Vandu.LoadList('a',\n"
        "Vandu.LoadList\n"
        "Vandu.About() extra\n"
        "Frobnicate x\n"
        "Calculate x 5\n"
        "Calculate x as y\n"
        "Echo plain\n"
        "Show\n"
        "Vandu.LoadList(a.b)\n"
        "Vandu.About() ; x\n"
        "Show file 'f' 0 3\n"
        "Show file 'f' 2.5\n"
        "Show file 'f' 5 4\n"
        "Show file 'f' 1 2 3\n"
        "Show ok\n");
    EXPECT_EQ(Errors(s),
              "line 1: unknown function 'Vandu.Frobnicate'\n"
              "line 2: unterminated text literal\n"
              "line 3: bad number '1e'\n"
              "line 4: bad number '12abc'\n"
              "line 5: expected an argument, found ','\n"
              "line 6: expected ',' or ')' after an argument\n"
              "line 7: expected an argument, found the end of the line\n"
              "line 8: expected '(' after Vandu.LoadList\n"
              "line 9: unexpected 'extra' at the end of the statement\n"
              "line 10: unknown statement 'Frobnicate'\n"
              "line 11: expected 'as' after Calculate x\n"
              "line 12: Calculate needs a text or number literal after 'as'\n"
              "line 13: Echo needs a text literal\n"
              "line 14: Show needs a variable name or file 'path'\n"
              "line 15: bad variable name 'a.b'\n"
              "line 16: unexpected character ';'\n"
              "line 17: bad line number '0'\n"
              "line 18: bad line number '2.5'\n"
              "line 19: the first line shown comes after the last\n"
              "line 20: unexpected '3' at the end of the statement\n");
    ASSERT_EQ(s.statements.size(), 1u);
    EXPECT_EQ(s.statements[0].line, 21);
}

TEST(ScriptParse, CommandsAndValueFunctionsMustBeWrittenInTheirForm) {
    const Script s = Parse("Vandu.LineCount('a')\n=VanduLoadList('a')\n=Vandu.LineCount('a')\n");
    EXPECT_EQ(Errors(s),
              "line 1: LineCount is a value function: write =VanduLineCount(...)\n"
              "line 2: LoadList is a command: write Vandu.LoadList(...)\n"
              "line 3: unknown function '=Vandu.LineCount'\n");
}

TEST(ScriptParse, WindowStatements) {
    const Script s = Parse(
        "Open window W 400 300\n"
        "Place area A on W at 10 -10 330 210 ('people',52,8,21,pick,'dclk') font 'Courier New' 15 700\n"
        "place AREA b ON W AT 0 0 5 5 ()\n"
        "Scroll A linedown\n"
        "scroll A THUMBtrack 65535\n"
        "Scroll A thumb 0\n"
        "Show area A\n"
        "Show area\n"
        "Paint W\nDesignDraw A\nClip A\nReinit A\nDestroy A\nClose W\n");
    ASSERT_EQ(Errors(s), "");
    ASSERT_EQ(s.statements.size(), 14u);
    EXPECT_EQ(s.statements[0].kind, Statement::kOpenWindow);
    EXPECT_EQ(s.statements[0].name, "W");
    EXPECT_EQ(s.statements[0].numbers, (std::vector<int32_t>{400, 300}));
    const Statement& place = s.statements[1];
    EXPECT_EQ(place.kind, Statement::kPlaceArea);
    EXPECT_EQ(place.name, "A");
    EXPECT_EQ(place.window, "W");
    EXPECT_EQ(place.numbers, (std::vector<int32_t>{10, -10, 330, 210}));
    ASSERT_EQ(place.args.size(), 6u);
    EXPECT_EQ(place.args[0].literal.text, "people");
    EXPECT_EQ(place.args[3].literal.number, 21);
    EXPECT_EQ(place.args[4].variable, "pick");
    EXPECT_EQ(place.font.face, "Courier New");
    EXPECT_EQ(place.font.size, 15);
    EXPECT_EQ(place.font.weight, 700);
    const Statement& plain = s.statements[2];
    EXPECT_TRUE(plain.args.empty());
    EXPECT_EQ(plain.font.face, AreaFont().face);  // the font left out: the default
    EXPECT_EQ(plain.font.size, AreaFont().size);
    EXPECT_EQ(s.statements[3].numbers, (std::vector<int32_t>{1, 0}));
    EXPECT_EQ(s.statements[4].numbers, (std::vector<int32_t>{5, 65535}));
    EXPECT_EQ(s.statements[5].numbers, (std::vector<int32_t>{4, 0}));
    EXPECT_EQ(s.statements[6].kind, Statement::kShowArea);
    EXPECT_EQ(s.statements[7].kind, Statement::kShowVariable);  // a variable named "area"
    const Statement::Kind named[] = {Statement::kPaint,  Statement::kDesignDraw,
                                     Statement::kClip,   Statement::kReinit,
                                     Statement::kDestroy, Statement::kClose};
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(s.statements[8 + i].kind, named[i]);
        EXPECT_EQ(s.statements[8 + i].name, i == 0 || i == 5 ? "W" : "A");
    }
}

TEST(ScriptParse, BadWindowStatements) {
    const Script s = Parse(
        "Open W 400 300\n"
        "Open window W 0 300\n"
        "Open window W 400\n"
        "Place area A on W at 1 2 3 ('x')\n"
        "Place area A on W at 1 2 3 40000 ('x')\n"
        "Place area A on W at 1 2 3 4\n"
        "Place area A on W at 1 2 3 4 ('x') font 13\n"
        "Place area A on W at 1 2 3 4 ('x') font 'F'\n"
        "Place area A W at 1 2 3 4 ('x')\n"
        "Scroll A sideways\n"
        "Scroll A thumb\n"
        "Scroll A linedown 3\n"
        "Paint 'W'\n"
        "Close\n");
    EXPECT_EQ(Errors(s),
              "line 1: expected 'window'\n"
              "line 2: bad width '0'\n"
              "line 3: expected the height\n"
              "line 4: expected the bottom edge\n"
              "line 5: bad bottom edge '40000'\n"
              "line 6: expected the area's parameters in parentheses\n"
              "line 7: font needs a face name in quotes\n"
              "line 8: expected the font size\n"
              "line 9: expected 'on'\n"
              "line 10: expected a scroll request: lineup, linedown, pageup, pagedown, thumb N, "
              "thumbtrack N, top, bottom or endscroll\n"
              "line 11: expected the thumb position\n"
              "line 12: unexpected '3' at the end of the statement\n"
              "line 13: expected the name of a window\n"
              "line 14: expected the name of a window\n");
    EXPECT_TRUE(s.statements.empty());
}

TEST(ScriptParse, InputStatements) {
    const Script s = Parse(
        "Key A down\n"
        "key A SHIFT ctrl 'c'\n"
        "Key A ctrl 29\n"
        "Key A ''''\n"
        "Press A row 3\n"
        "press A at -4 70\n"
        "DoublePress A row 1\n"
        "Pause 1200\n"
        "Show procedures\n"
        "Show clipboard\n"
        "Save W 'w.png'\n"
        "save AREA A \"a.png\"\n"
        "Key A tab\n");
    ASSERT_EQ(Errors(s), "");
    ASSERT_EQ(s.statements.size(), 13u);
    using V = std::vector<int32_t>;
    EXPECT_EQ(s.statements[0].kind, Statement::kKey);
    EXPECT_EQ(s.statements[0].name, "A");
    EXPECT_EQ(s.statements[0].numbers, (V{18, 0, 0}));
    EXPECT_EQ(s.statements[1].numbers, (V{'c', 1, 1}));
    EXPECT_EQ(s.statements[2].numbers, (V{29, 0, 1}));
    EXPECT_EQ(s.statements[3].numbers, (V{'\'', 0, 0}));
    EXPECT_EQ(s.statements[4].kind, Statement::kPressRow);
    EXPECT_EQ(s.statements[4].numbers, (V{3}));
    EXPECT_EQ(s.statements[5].kind, Statement::kPressAt);
    EXPECT_EQ(s.statements[5].numbers, (V{-4, 70}));
    EXPECT_EQ(s.statements[6].kind, Statement::kDoublePress);
    EXPECT_EQ(s.statements[7].kind, Statement::kPause);
    EXPECT_EQ(s.statements[7].numbers, (V{1200}));
    EXPECT_EQ(s.statements[8].kind, Statement::kShowProcedures);
    EXPECT_EQ(s.statements[9].kind, Statement::kShowClipboard);
    EXPECT_EQ(s.statements[10].kind, Statement::kSave);
    EXPECT_EQ(s.statements[10].name, "W");
    EXPECT_EQ(s.statements[10].path, "w.png");
    EXPECT_EQ(s.statements[11].kind, Statement::kSaveArea);
    EXPECT_EQ(s.statements[11].path, "a.png");
    EXPECT_EQ(s.statements[12].numbers, (V{28, 0, 0}));

    const Script bad = Parse(
        "Key A sideways\n"
        "Key A 'ab'\n"
        "Key A 256\n"
        "Key A\n"
        "Press A row 0\n"
        "Press A 3\n"
        "DoublePress A at 1 2\n"
        "Pause -1\n"
        "Save W\n"
        "Save area A\n");
    EXPECT_EQ(Errors(bad),
              "line 1: unknown key 'sideways'\n"
              "line 2: a quoted key is one character from 32 to 127\n"
              "line 3: bad key code '256'\n"
              "line 4: expected a key: a name, a code or a quoted character\n"
              "line 5: bad row '0'\n"
              "line 6: expected 'row' or 'at' after Press A\n"
              "line 7: expected 'row'\n"
              "line 8: bad pause in milliseconds '-1'\n"
              "line 9: Save needs the picture's path in quotes\n"
              "line 10: Save needs the picture's path in quotes\n");
}

// ---------------------------------------------------------------------------
// Catalogue names

TEST(CatalogueNames, NamesComeFromTheEntryText) {
    EXPECT_EQ(CatalogueFunctionName(VANDU_CAT_13014), "LoadList");
    EXPECT_EQ(CatalogueFunctionName(VANDU_CAT_13015), "LineCount");  // after the group prefix
    EXPECT_EQ(CatalogueFunctionName(VANDU_CAT_13021), "LineText");
    EXPECT_EQ(CatalogueFunctionName(VANDU_CAT_13005), "");  // the external's own entry
    EXPECT_EQ(Lookup("Vandu.LoadList"), 10);
    EXPECT_EQ(Lookup("=vandulinecount"), 11);
    EXPECT_EQ(Lookup("istcurrent"), 0);
    EXPECT_EQ(Lookup("IsCurrent"), 18);
    EXPECT_EQ(Lookup(""), 0);
    EXPECT_EQ(Lookup("Vandu."), 0);
}

// ---------------------------------------------------------------------------
// Numbers and transcript forms

TEST(Numbers, OnlyDecimalLiteralsParse) {
    double d = 0;
    for (const char* good : {"0", "12", "-3", "+4", "1.5", ".5", "5.", "1e3", "2E-2", "-1.25e+2"})
        EXPECT_TRUE(ParseNumber(good, &d)) << good;
    for (const char* bad : {"", "-", ".", "e3", "1e", "1e+", "0x10", "inf", "nan", "1 ", " 1", "1..2",
                            "1e999"})
        EXPECT_FALSE(ParseNumber(bad, &d)) << bad;
    ASSERT_TRUE(ParseNumber("-1.25e+2", &d));
    EXPECT_EQ(d, -125);
}

TEST(Numbers, FormattedShortestWithoutTrailingZeros) {
    EXPECT_EQ(FormatNumber(10), "10");
    EXPECT_EQ(FormatNumber(100000), "100000");
    EXPECT_EQ(FormatNumber(-0.0), "0");
    EXPECT_EQ(FormatNumber(0.25), "0.25");
    EXPECT_EQ(FormatNumber(-7.5), "-7.5");
    EXPECT_EQ(FormatNumber(2147483647.0), "2147483647");
    EXPECT_EQ(FormatNumber(1e20), "1e+20");
    EXPECT_EQ(FormatNumber(0.1 + 0.2), "0.30000000000000004");
}

TEST(Numbers, TextsReadAsNumbers) {
    EXPECT_EQ(NumberOf(Value::Text(" 42 ")), 42);
    EXPECT_EQ(NumberOf(Value::Text("4x")), 0);
    EXPECT_EQ(NumberOf(Value::Text("")), 0);
    EXPECT_EQ(NumberOf(Value()), 0);
    EXPECT_EQ(NumberOf(Value::Date(2020, 1, 2)), 0);
}

TEST(Transcript, ValuesAndQuoting) {
    EXPECT_EQ(QuoteText("a\"b\\c\r\n\t\x01\x7F\xE9"), "\"a\"\"b\\\\c\\r\\n\\t\\x01\\x7F\xC3\xA9\"");
    EXPECT_EQ(FormatValue(Value()), "(empty)");
    EXPECT_EQ(FormatValue(Value::Num(3)), "3");
    EXPECT_EQ(FormatValue(Value::Text("x y")), "\"x y\"");
    EXPECT_EQ(FormatValue(Value::Date(1999, 2, 3)), "1999-02-03");
    EXPECT_EQ(FormatValue(Value::Time(7, 5, 9)), "07:05:09");
    EXPECT_EQ(FormatVariable("n", Value::Num(-1)), "n = -1\n");
}

TEST(Transcript, ListBytesAreWindows1252ShownAsUtf8) {
    // From 0xA0 up a byte is its own code point; 0x80..0x9F have their own
    // table; the five undefined bytes stay visible as \xHH.
    EXPECT_EQ(QuoteText("\xC5" "BERG \xA3\xFF"), "\"\xC3\x85" "BERG \xC2\xA3\xC3\xBF\"");
    EXPECT_EQ(QuoteText("\x80\x8A\x99\x9F"),  // euro, S caron, trade mark, Y diaeresis
              "\"\xE2\x82\xAC\xC5\xA0\xE2\x84\xA2\xC5\xB8\"");
    EXPECT_EQ(QuoteText("\x81\x8D\x8F\x90\x9D"), "\"\\x81\\x8D\\x8F\\x90\\x9D\"");
    // Only the transcript converts: a value keeps its bytes.
    EXPECT_EQ(FormatVariable("v", Value::Text("\xC5")), "v = \"\xC3\x85\"\n");
    EXPECT_EQ(Value::Text("\xC5").text.size(), 1u);
}

TEST(Transcript, ListsAreAlignedTables) {
    Value v = Value::NewList();
    v.list->columns = {"Name", "Code"};
    v.list->lines.resize(10);
    v.list->lines[0]["Name"] = "Alice";
    v.list->lines[0]["Code"] = "12 ";
    v.list->lines[9]["Name"] = "Bo\r\n";
    EXPECT_EQ(FormatVariable("people", v),
              "people: list of 10 lines\n"
              "   #  Name      Code\n"
              "   1  \"Alice\"   \"12 \"\n"
              "   2  \"\"        \"\"\n"
              "   3  \"\"        \"\"\n"
              "   4  \"\"        \"\"\n"
              "   5  \"\"        \"\"\n"
              "   6  \"\"        \"\"\n"
              "   7  \"\"        \"\"\n"
              "   8  \"\"        \"\"\n"
              "   9  \"\"        \"\"\n"
              "  10  \"Bo\\r\\n\"  \"\"\n");
    EXPECT_EQ(FormatVariable("e", Value::NewList()), "e: list of 0 lines\n");
}

TEST(Transcript, AreaStatesCountLinesFromOne) {
    AreaState s;
    EXPECT_EQ(FormatAreaState("A", s), "area A: destroyed\n");
    s.live = true;
    EXPECT_EQ(FormatAreaState("A", s), "area A: no area record\n");
    s.hasRecord = true;
    s.selection = -1;
    s.rows = 7;
    s.cols = 49;
    EXPECT_EQ(FormatAreaState("A", s),
              "area A: not shown, top 1, selection none, rows 7, cols 49, no scroll bar\n");
    s = {true, true, true, 4, 9, 7, 49, true, 1, 32767, 7, 12};
    EXPECT_EQ(FormatAreaState("A", s),
              "area A: shown, top 5, selection 10, rows 7, cols 49, scroll 1..32767 page 7 pos 12\n");
}

TEST(Transcript, FileLinesShowTheirTerminators) {
    EXPECT_EQ(FormatFileLines("f.txt", "ab\r\ncd\nef\rgh"),
              "file 'f.txt': 12 bytes, 4 lines\n"
              "  1  \"ab\\r\\n\"\n"
              "  2  \"cd\\n\"\n"
              "  3  \"ef\\r\"\n"
              "  4  \"gh\"\n");
    EXPECT_EQ(FormatFileLines("e", ""), "file 'e': 0 bytes, 0 lines\n");
    // A range lists only its lines, under their own numbers.
    const std::string ten = "0\n1\n2\n3\n4\n5\n6\n7\n8\n9\n";
    EXPECT_EQ(FormatFileLines("t", ten, 9, 12),
              "file 't': 20 bytes, 10 lines\n"
              "   9  \"8\\n\"\n"
              "  10  \"9\\n\"\n");
    EXPECT_EQ(FormatFileLines("t", ten, 11), "file 't': 20 bytes, 10 lines\n");
}

TEST(ScriptFiles, MissingFileIsAnError) {
    std::string bytes, error;
    EXPECT_FALSE(ReadWholeFile("no/such/file.vh", &bytes, &error));
    EXPECT_EQ(error, "cannot open 'no/such/file.vh'");
    EXPECT_FALSE(ReadWholeFile(::testing::TempDir(), &bytes, &error));  // a directory
    const std::string path = ::testing::TempDir() + "host_script_test_bytes.txt";
    {
        std::ofstream out(path, std::ios::binary);
        out << std::string("a\0b\r\n", 5);
    }
    ASSERT_TRUE(ReadWholeFile(path, &bytes, &error));
    EXPECT_EQ(bytes, std::string("a\0b\r\n", 5));
    std::remove(path.c_str());
}

// ---------------------------------------------------------------------------
// Running scripts (statements that never call into the external)

TEST(ScriptRun, TranscriptAndErrorsWithLineNumbers) {
    std::string error;
    std::unique_ptr<Host> host = Host::Create(&error);
    if (!host) GTEST_SKIP() << error;
    const std::string path = ::testing::TempDir() + "host_script_test_list.txt";
    {
        std::ofstream out(path, std::ios::binary);
        out << "ab \r\ncd \r\n";
    }
    const Script script = Parse(
        "Echo 'start'\n"
        "Calculate n as 2.50\n"
        "Calculate t as 'say \"hi\"'\n"
        "Show n\n"
        "Show t\n"
        "Show never\n"
        "Calculate bad as 1e\n"
        "Show file '" + path + "'\n"
        "Show file 'no-such-file.txt'\n"
        "Echo 'end'\n");
    std::ostringstream out, err;
    EXPECT_EQ(RunScript(*host, script, out, err), 1);
    EXPECT_EQ(out.str(),
              "start\n"
              "n = 2.5\n"
              "t = \"say \"\"hi\"\"\"\n"
              "never = (empty)\n"
              "file '" + path + "': 10 bytes, 2 lines\n"
              "  1  \"ab \\r\\n\"\n"
              "  2  \"cd \\r\\n\"\n"
              "end\n");
    EXPECT_EQ(err.str(),
              "line 7: bad number '1e'\n"
              "line 9: cannot open 'no-such-file.txt'\n");
    EXPECT_TRUE(host->HasVariable("never"));  // named, so created
    EXPECT_TRUE(host->RequestLog().empty());  // nothing was sent to the external
    std::remove(path.c_str());
}

TEST(ScriptRun, WindowStatementsNameWhatTheyAddress) {
    std::string error;
    std::unique_ptr<Host> host = Host::Create(&error);
    if (!host) GTEST_SKIP() << error;
    const Script script = Parse(
        "Open window W 200 100\n"
        "Open window W 200 100\n"
        "Place area A on V at 0 0 10 10 ('x')\n"
        "Paint V\n"
        "Scroll B linedown\n"
        "Show area B\n"
        "Place area A on W at 0 0 100 50 ('nobody',10,1,5,'f','d')\n"
        "Place area A on W at 0 0 100 50 ('nobody',10,1,5,'f','d')\n"
        "Destroy A\n"
        "Show area A\n"
        "Close W\n"
        "Place area A on W at 0 0 100 50 ('nobody')\n"
        "Open window W 50 50\n");
    std::ostringstream out, err;
    EXPECT_EQ(RunScript(*host, script, out, err), 1);
    EXPECT_EQ(out.str(),
              "Open window W 200 100\n"
              "Place area A on W at 0 0 100 50 ('nobody',10,1,5,'f','d')\n"
              "Destroy A\n"
              "area A: destroyed\n"
              "Close W\n"
              "Open window W 50 50\n");
    EXPECT_EQ(err.str(),
              "line 2: window 'W' is open already\n"
              "line 3: no open window 'V'\n"
              "line 4: no window 'V'\n"
              "line 5: no area 'B'\n"
              "line 6: no area 'B'\n"
              "line 8: area 'A' is placed already\n"
              "line 12: no open window 'W'\n");
    EXPECT_TRUE(host->HasVariable("f"));  // the area's data field
}

TEST(ScriptRun, InputReportsWhatTheExternalDid) {
    std::string error;
    std::unique_ptr<Host> host = Host::Create(&error);
    if (!host) GTEST_SKIP() << error;
    const std::string path = ::testing::TempDir() + "host_script_input_list.txt";
    const std::string picture = ::testing::TempDir() + "host_script_input.png";
    {
        std::ofstream out(path, std::ios::binary);
        out << "1 ADAMS \r\n2 BAKER \r\n3 \xC5" "BERG \r\n";
    }
    const Script script = Parse(
        "Vandu.LoadList('l','" + path + "',3,1)\n"
        "Open window W 300 200\n"
        "Place area A on W at 10 10 290 190 ('l',8,3,8,'pick','dclk')\n"
        "Paint W\n"
        "Key A down\n"
        "Press A row 3\n"
        "DoublePress A row 1\n"
        "Show procedures\n"
        "Key A end\n"
        "Key A enter\n"
        "Key A ctrl 'c'\n"
        "Show clipboard\n"
        "Show procedures\n"
        "Save W '" + picture + "'\n");
    std::ostringstream out, err;
#ifdef _WIN32
    EXPECT_EQ(RunScript(*host, script, out, err), 0);
    const std::string saved = "-> saved 300 x 200 pixels\n";
#else
    EXPECT_EQ(RunScript(*host, script, out, err), 1);
    const std::string saved;
#endif
    const std::string transcript = out.str();
    ASSERT_NE(transcript.find("Key A down"), std::string::npos) << transcript;
    EXPECT_EQ(transcript.substr(transcript.find("Key A down")),
              "Key A down\n"
              "-> selection 2\n"
              "Press A row 3\n"
              "-> selection 3\n"
              "DoublePress A row 1\n"
              "-> selection 1\n"
              "-> data field pick = \"ADAMS\"\n"
              "-> procedure dclk\n"
              "procedures: dclk\n"
              "Key A end\n"
              "-> selection 3\n"
              "Key A enter\n"
              "-> data field pick = \"\xC3\x85" "BERG\"\n"
              "-> procedure dclk\n"
              "Key A ctrl 'c'\n"
              "clipboard = \"3 \xC3\x85" "BERG\"\n"
              "procedures: dclk\n"
              "Save W '" + picture + "'\n" + saved);
    EXPECT_EQ(host->Variable("pick").text, "\xC5" "BERG");  // the value keeps its byte
#ifdef _WIN32
    EXPECT_EQ(err.str(), "");
#else
    // The recorder draws nothing to take a picture of: no file.
    EXPECT_EQ(err.str(),
              "line 14: cannot read the window's pixels (screenshots need the Windows build)\n");
#endif
    std::remove(path.c_str());
    std::remove(picture.c_str());
}

TEST(ScriptRun, CleanScriptExitsZero) {
    std::string error;
    std::unique_ptr<Host> host = Host::Create(&error);
    if (!host) GTEST_SKIP() << error;
    std::ostringstream out, err;
    EXPECT_EQ(RunScript(*host, Parse("# nothing but a comment\nCalculate #LN as 4\n"), out, err), 0);
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(host->Variable("#LN").number, 4);
}

// ---------------------------------------------------------------------------
// Callback protocol: requests made as the external makes them, every
// argument a 32-bit word.

int32_t W(const void* p) { return static_cast<int32_t>(reinterpret_cast<uintptr_t>(p)); }

// A length-prefixed text as the external builds it.
std::vector<uint8_t> Pascal(const std::string& s) {
    std::vector<uint8_t> t(256, 0);
    t[0] = static_cast<uint8_t>(s.size());
    std::memcpy(t.data() + 1, s.data(), s.size());
    return t;
}

class Protocol : public ::testing::Test {
protected:
    HostState state;
    CurrentHostScope current{&state};
    HostCallback cb = &HostEntryCallback;

    int16_t Ref(const std::string& name) { return static_cast<int16_t>(cb(kReqGetFldRef, W(Pascal(name).data()))); }
    double Number(int16_t ref, double initial = -99) {
        double d = initial;
        cb(kReqGetFldNum, ref, W(&d));
        return d;
    }
    std::string PascalAt(int32_t request, int16_t ref, int32_t maxLen) {
        std::vector<uint8_t> buf(300, 0xAA);
        cb(request, ref, kTypePascalText, maxLen, W(buf.data()));
        for (size_t i = 1u + buf[0]; i < buf.size(); ++i) EXPECT_EQ(buf[i], 0xAA) << "byte " << i;
        return std::string(reinterpret_cast<char*>(buf.data() + 1), buf[0]);
    }
    void SetText(int16_t ref, const char* text) { cb(kReqSetFldVal, ref, kTypeCText, W(text)); }
};

TEST_F(Protocol, FieldReferencesNameDefinedVariablesOnly) {
    EXPECT_EQ(Ref("nothing"), 0);
    state.Variable("count");
    const int16_t count = Ref("count");
    EXPECT_GE(count, 1000);
    EXPECT_EQ(Ref("count"), count);
    EXPECT_EQ(Ref("Count"), 0);
    EXPECT_NE(Ref("#LN"), 0);
    EXPECT_NE(Ref("EX_EXT_ERROR"), 0);
    state.options.defineErrorVariable = false;
    state.options.defineLineNumber = false;
    EXPECT_EQ(Ref("#LN"), 0);
    EXPECT_EQ(Ref("EX_EXT_ERROR"), 0);
    // The result's low half is the reference; a name is at most 255 bytes.
    state.Variable(std::string(254, 'v'));
    EXPECT_GE(Ref(std::string(254, 'v')), 1000);
}

TEST_F(Protocol, ParametersAndTheirCount) {
    state.Variable("v") = Value::Num(7.99);
    state.BeginCall(10, {Arg::Text("people"), Arg::Num(-0.5), Arg::Var("v"), Arg::Text(" 12 ")});
    EXPECT_EQ(Number(kRefParamCount), 4);
    EXPECT_EQ(Number(212), -0.5);
    EXPECT_EQ(Number(213), 7.99);
    EXPECT_EQ(Number(214), 12);    // a numeric text
    EXPECT_EQ(Number(211), 0);     // a text that is no number
    EXPECT_EQ(Number(215), 0);     // beyond the parameters
    EXPECT_EQ(PascalAt(kReqGetFldVal, 211, 15), "people");
    EXPECT_EQ(PascalAt(kReqGetFuncParm, 212, 15), "-0.5");  // a number asked as text
    EXPECT_EQ(PascalAt(kReqGetFldVal, 215, 15), "");
    int32_t id = 0;
    cb(kReqGetPackageId, W(&id));
    EXPECT_EQ(id, 10);
}

TEST_F(Protocol, TextsAreCutToTheLengthAskedAndNeverWrittenPastIt) {
    state.BeginCall(10, {Arg::Text("abcdefghijklmnopqrstuvwxyz"), Arg::Text(std::string(300, 'x'))});
    EXPECT_EQ(PascalAt(kReqGetFldVal, 211, 15), "abcdefghijklmno");
    EXPECT_EQ(PascalAt(kReqGetFldVal, 211, 0), "");
    EXPECT_EQ(PascalAt(kReqGetFldVal, 212, 255), std::string(255, 'x'));
    EXPECT_EQ(PascalAt(kReqGetFldVal, 212, 1000), std::string(255, 'x'));

    char c[10];
    std::memset(c, 0x55, sizeof c);
    cb(kReqGetFldVal, 211, kTypeCText, 5, W(c));
    EXPECT_STREQ(c, "abcd");
    EXPECT_EQ(c[5], 0x55);
    std::memset(c, 0x55, sizeof c);
    cb(kReqGetFldVal, 211, kTypeCText, 0, W(c));
    EXPECT_EQ(c[0], 0x55);
    cb(kReqGetFldVal, 211, kTypeCText, 1, W(c));
    EXPECT_EQ(c[0], 0);
    EXPECT_EQ(c[1], 0x55);

    double d = -1;
    cb(kReqGetFuncParm, 211, kTypeNumber, 4, W(&d));  // too short for a number: untouched
    EXPECT_EQ(d, -1);
    cb(kReqGetFuncParm, 211, kTypeNumber, 8, W(&d));
    EXPECT_EQ(d, 0);
}

TEST_F(Protocol, StatusValueAndWritesThroughParameters) {
    state.Variable("n") = Value::Text("old");
    state.BeginCall(10, {Arg::Text("x"), Arg::Var("n"), Arg::Num(5)});
    const double four = 4;
    cb(kReqSetFldVal, kRefStatus, kTypeNumber, W(&four));
    EXPECT_EQ(state.status.number, 4);
    const double minusOne = -1;
    cb(kReqSetFldNum, kRefValue, W(&minusOne));
    EXPECT_EQ(NumberOf(state.value), -1);

    const double three = 3;
    cb(kReqSetFldNum, 212, W(&three));  // a variable parameter: the variable changes
    EXPECT_EQ(state.Variable("n").kind, Value::kNumber);
    EXPECT_EQ(state.Variable("n").number, 3);
    SetText(213, "temp");               // a literal parameter: only the call's copy
    EXPECT_EQ(PascalAt(kReqGetFldVal, 213, 15), "temp");
    cb(kReqSetFldNum, 216, W(&three));  // beyond the parameters: ignored
    EXPECT_EQ(state.params.size(), 3u);

    // A new call starts with nothing left of the last one.
    state.BeginCall(11, {});
    EXPECT_EQ(state.status.kind, Value::kEmpty);
    EXPECT_EQ(state.value.kind, Value::kEmpty);
}

TEST_F(Protocol, ValueTypesOfSetFldVal) {
    state.Variable("v");
    const int16_t v = Ref("v");
    const std::vector<uint8_t> pascal = Pascal("pas");
    cb(kReqSetFldVal, v, kTypePascalText, W(pascal.data()));
    EXPECT_EQ(state.Variable("v").text, "pas");
    SetText(v, "c text");
    EXPECT_EQ(state.Variable("v").text, "c text");
    const uint16_t date[3] = {2001, 9, 30};
    cb(kReqSetFldVal, v, kTypeDate, W(date));
    EXPECT_EQ(state.Variable("v").ToString(), "2001-09-30");
    const uint16_t time[3] = {23, 5, 0};
    cb(kReqSetFldVal, v, kTypeTime, W(time));
    EXPECT_EQ(state.Variable("v").ToString(), "23:05:00");
    cb(kReqSetFldVal, v, 9, W(time));  // an unknown type changes nothing
    cb(kReqSetFldVal, v, kTypeCText, 0);
    EXPECT_EQ(state.Variable("v").ToString(), "23:05:00");
    SetText(Ref("EX_EXT_ERROR"), "list empty");
    EXPECT_EQ(state.Variable("EX_EXT_ERROR").text, "list empty");
}

TEST_F(Protocol, HostListsFilledCellByCell) {
    state.BeginCall(3, {Arg::Text("people"), Arg::Var("lst"), Arg::Text("Name"), Arg::Num(1),
                        Arg::Num(5), Arg::Text("Code")});
    state.List("lst").lines.resize(4);
    EXPECT_EQ(cb(kReqDoListOp, kListOpClear, 212, 0), 1);
    EXPECT_EQ(state.List("lst").LineCount(), 0);
    EXPECT_EQ(cb(kReqDoListOp, kListOpSetLineCount, 212, 3), 1);
    EXPECT_EQ(state.List("lst").LineCount(), 3);
    EXPECT_EQ(Number(Ref("#LN")), 3);

    cb(kReqSetLstVal, 212, 2, 216, kTypeCText, W("c2"));
    cb(kReqSetLstVal, 212, 1, 213, kTypeCText, W("n1 \r\n"));
    cb(kReqSetLstVal, 212, 4, 213, kTypeCText, W("beyond"));  // no such line
    cb(kReqSetLstVal, 212, 0, 213, kTypeCText, W("before"));
    const HostList& lst = state.List("lst");
    EXPECT_EQ(lst.columns, (std::vector<std::string>{"Code", "Name"}));  // in order of first use
    EXPECT_EQ(lst.Cell(1, "Name"), "n1 \r\n");
    EXPECT_EQ(lst.Cell(2, "Code"), "c2");
    EXPECT_EQ(lst.Cell(2, "Name"), "");
    EXPECT_EQ(lst.Cell(4, "Name"), "");
    EXPECT_EQ(lst.LineCount(), 3);

    EXPECT_EQ(cb(kReqDoListOp, 3, 212, 9), 0);  // other operations do nothing
    EXPECT_EQ(state.List("lst").LineCount(), 3);
}

TEST_F(Protocol, HostListsHoldAtMostTheirLimit) {
    state.options.maxListLines = 2;
    state.BeginCall(3, {Arg::Text("people"), Arg::Text("named")});  // a text naming the list
    cb(kReqDoListOp, kListOpSetLineCount, 212, 5);
    EXPECT_EQ(state.List("named").LineCount(), 2);
    EXPECT_EQ(state.Variable("#LN").number, 2);
    cb(kReqDoListOp, kListOpSetLineCount, 212, -4);
    EXPECT_EQ(state.List("named").LineCount(), 0);
    EXPECT_EQ(state.Variable("#LN").number, 0);
}

TEST_F(Protocol, Atoms) {
    AtomBlock b;
    auto prepare = [&b](const char* name, int16_t op, uint32_t value) {
        std::memset(&b, 0, sizeof b);
        b.nameLen = static_cast<uint8_t>(std::strlen(name));
        std::strcpy(b.name, name);
        b.operation = op;
        b.value = value;
        b.result = -7;
    };
    prepare("VANDU", kAtomGet, 0);
    cb(kReqExtensionInfo, W(&b));
    EXPECT_EQ(b.result, 0);
    prepare("VANDU", kAtomSet, 0x12345678);
    cb(kReqExtensionInfo, W(&b));
    EXPECT_EQ(state.atoms.at("VANDU"), 0x12345678u);
    prepare("VANDU", kAtomGet, 0);
    EXPECT_EQ(cb(kReqExtensionInfo, W(&b)), 1);
    EXPECT_EQ(b.result, 1);
    EXPECT_EQ(b.value, 0x12345678u);
    prepare("VANDU", kAtomDelete, 0);
    cb(kReqExtensionInfo, W(&b));
    EXPECT_EQ(b.result, 1);
    prepare("VANDU", kAtomGet, 0);
    cb(kReqExtensionInfo, W(&b));
    EXPECT_EQ(b.result, 0);
    // A length byte beyond the name field reads no further than the field.
    prepare("X", kAtomSet, 1);
    b.nameLen = 255;
    cb(kReqExtensionInfo, W(&b));
    EXPECT_EQ(b.result, 1);
}

TEST_F(Protocol, DesignRecordMessagesAndProcedures) {
    void* rec = nullptr;
    cb(kReqGetDesignPtr, W(&rec));
    EXPECT_EQ(rec, state.design.data());
    EXPECT_GE(state.design.size(), 300u);

    EXPECT_EQ(cb(kReqShowMessage, 0, 1, 1, 0, W(Pascal("About Vandu").data())), 1);
    EXPECT_EQ(state.shownMessages, std::vector<std::string>{"About Vandu"});
    cb(kReqPushSequence, W(Pascal("clickProc").data()));
    EXPECT_EQ(state.pushedProcedures, std::vector<std::string>{"clickProc"});
}

TEST_F(Protocol, NamedValuesAndKeys) {
    state.namedValues["$cwind.$objs.3.$enabled"] = 1;
    double d = 5;
    cb(kReqGetNamedNVal, 0, W(Pascal("$cwind.$objs.3.$enabled").data()), W(&d));
    EXPECT_EQ(d, 1);
    d = 5;
    cb(kReqGetNamedNVal, 0, W(Pascal("$unknown").data()), W(&d));
    EXPECT_EQ(d, 5);
    EXPECT_EQ(state.namedValueRequests,
              (std::vector<std::string>{"$cwind.$objs.3.$enabled", "$unknown"}));

    state.keys.push_back({'a', 0});
    state.keys.push_back({'b', 7});
    uint8_t key[2] = {0, 0};
    char text[4];
    EXPECT_EQ(cb(kReqGetExtKey, W(key), W(text)), 0);
    EXPECT_EQ(key[0], 'a');
    EXPECT_EQ(cb(kReqGetExtKey, W(key), W(text)), 0);
    EXPECT_EQ(key[0], 'b');
    EXPECT_EQ(key[1], 7);
    EXPECT_EQ(cb(kReqGetExtKey, W(key), W(text)), 1);
}

TEST_F(Protocol, EveryRequestIsLoggedAndUnknownOnesAnswerZero) {
    EXPECT_EQ(cb(999, 1, 2, 3), 0);
    double d = 0;
    cb(kReqGetFldNum, kRefParamCount, W(&d));
    cb(kReqGetFldNum, 0, W(&d));  // reference 0: no such field
    EXPECT_EQ(state.requestLog, (std::vector<int32_t>{999, kReqGetFldNum, kReqGetFldNum}));
}

TEST_F(Protocol, RecordsKeepTheirNewestEntriesOnly) {
    // Codes no request has: each is logged and answered 0.
    const int32_t first = 100000, limit = static_cast<int32_t>(HostState::kRequestLogLimit);
    for (int32_t code = first; code <= first + limit; ++code) cb(code);
    ASSERT_EQ(state.requestLog.size(), HostState::kRequestLogLimit / 2 + 1);
    EXPECT_EQ(state.requestLog.front(), first + limit / 2);
    EXPECT_EQ(state.requestLog.back(), first + limit);

    for (size_t i = 0; i < HostState::kTextRecordLimit; ++i)
        cb(kReqPushSequence, W(Pascal("p" + std::to_string(i)).data()));
    EXPECT_EQ(state.pushedProcedures.size(), HostState::kTextRecordLimit);
    cb(kReqPushSequence, W(Pascal("newest").data()));
    ASSERT_EQ(state.pushedProcedures.size(), HostState::kTextRecordLimit / 2 + 1);
    EXPECT_EQ(state.pushedProcedures.back(), "newest");
    EXPECT_EQ(state.pushedProcedures.front(), "p" + std::to_string(HostState::kTextRecordLimit / 2));
}

TEST(ProtocolScope, NoCurrentHostAnswersNothing) {
    HostState outer, inner;
    {
        CurrentHostScope a(&outer);
        {
            CurrentHostScope b(&inner);
            HostEntryCallback(kReqGetFldNum, 210, 0);
        }
        HostEntryCallback(kReqShowMessage, 0, 0, 0, 0, 0);
    }
    EXPECT_EQ(HostEntryCallback(kReqGetFldRef, 0), 0);
    EXPECT_EQ(inner.requestLog, std::vector<int32_t>{kReqGetFldNum});
    EXPECT_EQ(outer.requestLog, std::vector<int32_t>{kReqShowMessage});
}

}  // namespace
}  // namespace vhost
