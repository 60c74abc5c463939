// Parsing of scripts: one statement per line, each line on its own so that a
// bad line is reported with its number and the next lines still count.
#include <cctype>
#include <climits>
#include <cmath>

#include "catalogue_names.h"
#include "codepage.h"
#include "keys.h"
#include "script.h"
#include "values.h"

namespace vhost {
namespace {

bool IsNameStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == '#';
}
bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The statement part of a line. A '#' outside quotes starts a comment, unless
// it begins a name such as "#LN" somewhere after the line's first character.
std::string StripComment(const std::string& line) {
    char quote = 0;
    bool seenText = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quote) {
            if (c == quote) quote = 0;  // a doubled quote closes and reopens
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '#' &&
                   (!seenText || i + 1 >= line.size() || !IsNameChar(line[i + 1]))) {
            return line.substr(0, i);
        }
        if (!IsBlank(c)) seenText = true;
    }
    return line;
}

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && (IsBlank(s[b]) || s[b] == '\r')) ++b;
    while (e > b && (IsBlank(s[e - 1]) || s[e - 1] == '\r')) --e;
    return s.substr(b, e - b);
}

struct Token {
    enum Kind { kWord, kText, kNumber, kPunct, kEnd };
    Kind kind = kEnd;
    std::string text;  // the word, the decoded text, the number as written, the mark
    double number = 0;
};

bool Lex(const std::string& s, std::vector<Token>* out, std::string* error) {
    size_t i = 0;
    const size_t n = s.size();
    while (i < n) {
        const char c = s[i];
        Token t;
        if (IsBlank(c)) {
            ++i;
            continue;
        } else if (c == '(' || c == ')' || c == ',' || c == '=') {
            t.kind = Token::kPunct;
            t.text = std::string(1, c);
            ++i;
        } else if (c == '\'' || c == '"') {
            t.kind = Token::kText;
            for (++i;; ++i) {
                if (i >= n) {
                    *error = "unterminated text literal";
                    return false;
                }
                if (s[i] == c) {
                    if (i + 1 < n && s[i + 1] == c) {
                        t.text += c;
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                t.text += s[i];
            }
        } else if (std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '+' || c == '.') {
            const size_t start = i++;
            while (i < n && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '.' ||
                             ((s[i] == '-' || s[i] == '+') && (s[i - 1] == 'e' || s[i - 1] == 'E'))))
                ++i;
            t.kind = Token::kNumber;
            t.text = s.substr(start, i - start);
            if (!ParseNumber(t.text, &t.number)) {
                *error = "bad number '" + t.text + "'";
                return false;
            }
        } else if (IsNameStart(c)) {
            const size_t start = i++;
            while (i < n && (IsNameChar(s[i]) || s[i] == '.')) ++i;
            t.kind = Token::kWord;
            t.text = s.substr(start, i - start);
        } else {
            // A character outside the notation, whole even when it takes
            // several bytes of UTF-8.
            size_t end = i + 1;
            if (static_cast<unsigned char>(c) >= 0xC0)
                while (end < n && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80) ++end;
            *error = "unexpected character '" + s.substr(i, end - i) + "'";
            return false;
        }
        out->push_back(t);
    }
    out->push_back(Token());
    return true;
}

bool IsVariableName(const std::string& s) {
    if (s.empty() || !IsNameStart(s[0])) return false;
    for (size_t i = 1; i < s.size(); ++i)
        if (!IsNameChar(s[i])) return false;
    return true;
}

// Scroll-bar requests by name, as WM_VSCROLL codes (SB_LINEUP ...). The two
// thumb requests take a position.
struct ScrollName {
    const char* name;
    int32_t code;
    bool takesPosition;
};
constexpr ScrollName kScrollNames[] = {
    {"lineup", 0, false}, {"linedown", 1, false}, {"pageup", 2, false},
    {"pagedown", 3, false}, {"thumb", 4, true},   {"thumbtrack", 5, true},
    {"top", 6, false},    {"bottom", 7, false},   {"endscroll", 8, false},
};

// Statements that name one window or area and nothing else.
struct NamedStatement {
    const char* keyword;
    Statement::Kind kind;
};
constexpr NamedStatement kNamedStatements[] = {
    {"Paint", Statement::kPaint},     {"DesignDraw", Statement::kDesignDraw},
    {"Clip", Statement::kClip},       {"Reinit", Statement::kReinit},
    {"Destroy", Statement::kDestroy}, {"Close", Statement::kClose},
};

class LineParser {
public:
    LineParser(const std::vector<Token>& tokens, const FunctionLookup& lookup)
        : t_(tokens), lookup_(lookup) {}

    bool Parse(Statement* st) {
        const Token& first = Next();
        if (first.kind == Token::kPunct && first.text == "=") return ParseCall(st, true);
        if (first.kind != Token::kWord) return Fail("expected a statement");
        if (StartsWithIgnoreCase(first.text, "Vandu.")) {
            --i_;
            return ParseCall(st, false);
        }
        if (EqualsIgnoreCase(first.text, "Calculate")) return ParseCalculate(st);
        if (EqualsIgnoreCase(first.text, "Show")) return ParseShow(st);
        if (EqualsIgnoreCase(first.text, "Load")) {
            st->kind = Statement::kLoad;
            if (Peek().kind == Token::kPunct && Peek().text == "(" && !ParseArgs(&st->args))
                return false;
            return ExpectEnd();
        }
        if (EqualsIgnoreCase(first.text, "Unload")) {
            st->kind = Statement::kUnload;
            return ExpectEnd();
        }
        if (EqualsIgnoreCase(first.text, "Open")) return ParseOpenWindow(st);
        if (EqualsIgnoreCase(first.text, "Place")) return ParsePlaceArea(st);
        if (EqualsIgnoreCase(first.text, "Scroll")) return ParseScroll(st);
        if (EqualsIgnoreCase(first.text, "Key")) return ParseKey(st);
        if (EqualsIgnoreCase(first.text, "Press")) return ParsePress(st);
        if (EqualsIgnoreCase(first.text, "DoublePress")) {
            st->kind = Statement::kDoublePress;
            return ParseName("an area", &st->name) && ExpectWord("row") &&
                   ParseWhole("row", 1, INT16_MAX, &st->numbers) && ExpectEnd();
        }
        if (EqualsIgnoreCase(first.text, "Pause")) {
            st->kind = Statement::kPause;
            return ParseWhole("pause in milliseconds", 0, 600000, &st->numbers) && ExpectEnd();
        }
        if (EqualsIgnoreCase(first.text, "Save")) return ParseSave(st);
        for (const NamedStatement& n : kNamedStatements) {
            if (!EqualsIgnoreCase(first.text, n.keyword)) continue;
            st->kind = n.kind;
            return ParseName(n.kind == Statement::kPaint || n.kind == Statement::kClose ? "a window"
                                                                                         : "an area",
                             &st->name) &&
                   ExpectEnd();
        }
        if (EqualsIgnoreCase(first.text, "Echo")) {
            st->kind = Statement::kEcho;
            const Token& text = Next();
            if (text.kind != Token::kText) return Fail("Echo needs a text literal");
            st->name = text.text;
            return ExpectEnd();
        }
        return Fail("unknown statement '" + first.text + "'");
    }

    const std::string& error() const { return error_; }

private:
    const Token& Peek() const { return t_[i_]; }
    const Token& Next() { return t_[i_ + 1 < t_.size() ? i_++ : i_]; }

    bool Fail(const std::string& message) {
        error_ = message;
        return false;
    }

    // A text of the script (UTF-8) as the host hands texts to the external:
    // in Windows-1252.
    bool ToExternal(const std::string& written, std::string* out) {
        std::string error;
        return Utf8ToCp1252(written, out, &error) || Fail(error);
    }

    bool ExpectEnd() {
        const Token& t = Next();
        return t.kind == Token::kEnd || Fail("unexpected '" + t.text + "' at the end of the statement");
    }

    bool ParseCall(Statement* st, bool valueForm) {
        const Token& word = Next();
        const std::string prefix = valueForm ? "Vandu" : "Vandu.";
        if (word.kind != Token::kWord || !StartsWithIgnoreCase(word.text, prefix) ||
            word.text.size() == prefix.size())
            return Fail(valueForm ? "expected =VanduName(...) after '='" : "expected Vandu.Name(...)");
        const std::string name = word.text.substr(prefix.size());
        const std::string written = (valueForm ? "=" : "") + word.text;
        st->kind = Statement::kCall;
        st->position = lookup_ ? lookup_(name) : 0;
        if (st->position == 0) return Fail("unknown function '" + written + "'");
        if (IsValueFunction(st->position) != valueForm)
            return Fail(valueForm ? name + " is a command: write Vandu." + name + "(...)"
                                  : name + " is a value function: write =Vandu" + name + "(...)");
        if (Peek().kind != Token::kPunct || Peek().text != "(")
            return Fail("expected '(' after " + written);
        return ParseArgs(&st->args) && ExpectEnd();
    }

    bool ParseArgs(std::vector<Arg>* args) {
        Next();  // '('
        if (Peek().kind == Token::kPunct && Peek().text == ")") {
            Next();
            return true;
        }
        for (;;) {
            const Token& t = Next();
            if (t.kind == Token::kText) {
                std::string text;
                if (!ToExternal(t.text, &text)) return false;
                args->push_back(Arg::Text(text));
            } else if (t.kind == Token::kNumber) {
                args->push_back(Arg::Num(t.number));
            } else if (t.kind == Token::kWord) {
                if (!IsVariableName(t.text)) return Fail("bad variable name '" + t.text + "'");
                args->push_back(Arg::Var(t.text));
            } else {
                return Fail("expected an argument, found " +
                            (t.kind == Token::kEnd ? std::string("the end of the line")
                                                   : "'" + t.text + "'"));
            }
            const Token& sep = Next();
            if (sep.kind == Token::kPunct && sep.text == ")") return true;
            if (sep.kind != Token::kPunct || sep.text != ",")
                return Fail("expected ',' or ')' after an argument");
        }
    }

    bool ParseCalculate(Statement* st) {
        const Token& var = Next();
        if (var.kind != Token::kWord || !IsVariableName(var.text))
            return Fail("Calculate needs a variable name");
        const Token& as = Next();
        if (as.kind != Token::kWord || !EqualsIgnoreCase(as.text, "as"))
            return Fail("expected 'as' after Calculate " + var.text);
        const Token& lit = Next();
        std::string text;
        if (lit.kind == Token::kText) {
            if (!ToExternal(lit.text, &text)) return false;
            st->literal = Value::Text(text);
        } else if (lit.kind == Token::kNumber) {
            st->literal = Value::Num(lit.number);
        } else {
            return Fail("Calculate needs a text or number literal after 'as'");
        }
        st->kind = Statement::kCalculate;
        st->name = var.text;
        return ExpectEnd();
    }

    bool ParseShow(Statement* st) {
        const Token& what = Next();
        if (what.kind == Token::kWord && EqualsIgnoreCase(what.text, "area") &&
            Peek().kind == Token::kWord) {
            st->kind = Statement::kShowArea;
            return ParseName("an area", &st->name) && ExpectEnd();
        }
        if (what.kind == Token::kWord && EqualsIgnoreCase(what.text, "file") &&
            Peek().kind == Token::kText) {
            st->kind = Statement::kShowFile;
            st->name = Next().text;
            return ParseLineRange(st) && ExpectEnd();
        }
        if (what.kind == Token::kWord && Peek().kind == Token::kEnd) {
            if (EqualsIgnoreCase(what.text, "procedures")) {
                st->kind = Statement::kShowProcedures;
                return true;
            }
            if (EqualsIgnoreCase(what.text, "clipboard")) {
                st->kind = Statement::kShowClipboard;
                return true;
            }
        }
        if (what.kind != Token::kWord || !IsVariableName(what.text))
            return Fail("Show needs a variable name or file 'path'");
        st->kind = Statement::kShowVariable;
        st->name = what.text;
        return ExpectEnd();
    }

    bool ExpectWord(const char* word) {
        const Token& t = Next();
        return (t.kind == Token::kWord && EqualsIgnoreCase(t.text, word)) ||
               Fail(std::string("expected '") + word + "'");
    }

    bool ParseName(const char* what, std::string* out) {
        const Token& t = Next();
        if (t.kind != Token::kWord || !IsVariableName(t.text))
            return Fail(std::string("expected the name of ") + what);
        *out = t.text;
        return true;
    }

    // A whole number from min to max, appended to out.
    bool ParseWhole(const char* what, int32_t min, int32_t max, std::vector<int32_t>* out) {
        const Token& t = Next();
        if (t.kind != Token::kNumber) return Fail(std::string("expected the ") + what);
        if (t.number < min || t.number > max || t.number != std::floor(t.number))
            return Fail(std::string("bad ") + what + " '" + t.text + "'");
        out->push_back(static_cast<int32_t>(t.number));
        return true;
    }

    // Open window W width height
    bool ParseOpenWindow(Statement* st) {
        st->kind = Statement::kOpenWindow;
        return ExpectWord("window") && ParseName("a window", &st->name) &&
               ParseWhole("width", 1, 32767, &st->numbers) &&
               ParseWhole("height", 1, 32767, &st->numbers) && ExpectEnd();
    }

    // Place area A on W at left top right bottom (params) [font 'face' size [weight]]
    bool ParsePlaceArea(Statement* st) {
        st->kind = Statement::kPlaceArea;
        if (!ExpectWord("area") || !ParseName("an area", &st->name) || !ExpectWord("on") ||
            !ParseName("a window", &st->window) || !ExpectWord("at"))
            return false;
        for (const char* what : {"left edge", "top edge", "right edge", "bottom edge"})
            if (!ParseWhole(what, INT16_MIN, INT16_MAX, &st->numbers)) return false;
        if (Peek().kind != Token::kPunct || Peek().text != "(")
            return Fail("expected the area's parameters in parentheses");
        if (!ParseArgs(&st->args)) return false;
        if (Peek().kind == Token::kEnd) return ExpectEnd();
        if (!ExpectWord("font")) return false;
        const Token& face = Next();
        if (face.kind != Token::kText) return Fail("font needs a face name in quotes");
        if (!ToExternal(face.text, &st->font.face)) return false;
        std::vector<int32_t> sizes;
        if (!ParseWhole("font size", 1, INT16_MAX, &sizes)) return false;
        if (Peek().kind == Token::kNumber && !ParseWhole("font weight", 0, 1000, &sizes))
            return false;
        st->font.size = static_cast<int16_t>(sizes[0]);
        if (sizes.size() > 1) st->font.weight = static_cast<int16_t>(sizes[1]);
        return ExpectEnd();
    }

    // Scroll A request [position]
    bool ParseScroll(Statement* st) {
        st->kind = Statement::kScroll;
        if (!ParseName("an area", &st->name)) return false;
        const Token& request = Next();
        for (const ScrollName& n : kScrollNames) {
            if (request.kind != Token::kWord || !EqualsIgnoreCase(request.text, n.name)) continue;
            st->numbers.push_back(n.code);
            if (!n.takesPosition) {
                st->numbers.push_back(0);
                return ExpectEnd();
            }
            return ParseWhole("thumb position", 0, 65535, &st->numbers) && ExpectEnd();
        }
        return Fail("expected a scroll request: lineup, linedown, pageup, pagedown, thumb N, "
                    "thumbtrack N, top, bottom or endscroll");
    }

    // Key A [shift] [ctrl] key: a key name, a code 0..255 or a quoted
    // character from 32 to 127.
    bool ParseKey(Statement* st) {
        st->kind = Statement::kKey;
        if (!ParseName("an area", &st->name)) return false;
        bool shift = false, control = false;
        for (;;) {
            const Token& t = Peek();
            if (t.kind == Token::kWord && EqualsIgnoreCase(t.text, "shift"))
                shift = true;
            else if (t.kind == Token::kWord && EqualsIgnoreCase(t.text, "ctrl"))
                control = true;
            else
                break;
            Next();
        }
        const Token& key = Peek();
        if (key.kind == Token::kNumber) {
            if (!ParseWhole("key code", 0, 255, &st->numbers)) return false;
        } else {
            Next();
            int32_t code = 0;
            if (key.kind == Token::kWord) {
                code = KeyCodeOfName(key.text);
                if (code == 0) return Fail("unknown key '" + key.text + "'");
            } else if (key.kind == Token::kText) {
                const auto c = key.text.size() == 1 ? static_cast<unsigned char>(key.text[0]) : 0;
                if (c < 32 || c > 127) return Fail("a quoted key is one character from 32 to 127");
                code = c;
            } else {
                return Fail("expected a key: a name, a code or a quoted character");
            }
            st->numbers.push_back(code);
        }
        st->numbers.push_back(shift);
        st->numbers.push_back(control);
        return ExpectEnd();
    }

    // Press A row N | Press A at X Y
    bool ParsePress(Statement* st) {
        if (!ParseName("an area", &st->name)) return false;
        const Token& how = Next();
        if (how.kind == Token::kWord && EqualsIgnoreCase(how.text, "row")) {
            st->kind = Statement::kPressRow;
            return ParseWhole("row", 1, INT16_MAX, &st->numbers) && ExpectEnd();
        }
        if (how.kind == Token::kWord && EqualsIgnoreCase(how.text, "at")) {
            st->kind = Statement::kPressAt;
            return ParseWhole("x", INT16_MIN, INT16_MAX, &st->numbers) &&
                   ParseWhole("y", INT16_MIN, INT16_MAX, &st->numbers) && ExpectEnd();
        }
        return Fail("expected 'row' or 'at' after Press " + st->name);
    }

    // Save W 'path' | Save area A 'path'
    bool ParseSave(Statement* st) {
        st->kind = Statement::kSave;
        if (Peek().kind == Token::kWord && EqualsIgnoreCase(Peek().text, "area") &&
            t_[i_ + 1].kind == Token::kWord) {
            Next();
            st->kind = Statement::kSaveArea;
        }
        if (!ParseName(st->kind == Statement::kSave ? "a window" : "an area", &st->name))
            return false;
        const Token& path = Next();
        if (path.kind != Token::kText) return Fail("Save needs the picture's path in quotes");
        st->path = path.text;
        return ExpectEnd();
    }

    // Optional "first [last]" after Show file: whole line numbers from 1.
    bool ParseLineRange(Statement* st) {
        int32_t* bounds[] = {&st->firstLine, &st->lastLine};
        for (int32_t* bound : bounds) {
            if (Peek().kind != Token::kNumber) break;
            const Token& t = Next();
            if (t.number < 1 || t.number > INT32_MAX || t.number != std::floor(t.number))
                return Fail("bad line number '" + t.text + "'");
            *bound = static_cast<int32_t>(t.number);
        }
        if (st->firstLine > st->lastLine)
            return Fail("the first line shown comes after the last");
        return true;
    }

    const std::vector<Token>& t_;
    const FunctionLookup& lookup_;
    size_t i_ = 0;
    std::string error_;
};

}  // namespace

Script ParseScript(const std::string& text, const FunctionLookup& lookup) {
    Script script;
    int lineNumber = 0;
    // A script is UTF-8 and may begin with a byte-order mark.
    size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        ++lineNumber;
        const std::string source = Trim(StripComment(text.substr(start, end - start)));
        start = end + 1;
        if (source.empty()) continue;
        std::vector<Token> tokens;
        std::string error;
        Statement st;
        st.line = lineNumber;
        st.source = source;
        if (Lex(source, &tokens, &error)) {
            LineParser parser(tokens, lookup);
            if (parser.Parse(&st)) {
                script.statements.push_back(st);
                continue;
            }
            error = parser.error();
        }
        script.errors.push_back({lineNumber, error});
    }
    return script;
}

}  // namespace vhost
