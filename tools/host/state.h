// What the substitute host keeps on behalf of the application and the
// external, and how host references name it. The callback answers requests
// against one of these; Host wraps one and drives the external with it.
#pragma once
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "host.h"

namespace vhost {

struct HostState {
    // References handed out for host variables: kFirstVariableRef + index.
    static constexpr int32_t kFirstVariableRef = 1000;
    static constexpr size_t kDesignSize = 512;
    static constexpr const char* kLineNumberName = "#LN";
    static constexpr const char* kErrorName = "EX_EXT_ERROR";

    Options options;
    std::map<std::string, Value> variables;
    std::vector<std::string> variableOfRef;  // index = ref - kFirstVariableRef

    Value status;               // reference 200
    Value value;                // reference 202
    std::vector<Arg> params;    // references 211..; writes to literals stay here
    int32_t packageId = 0;      // answered to request 48
    std::array<uint8_t, kDesignSize> design{};  // the record of request 49

    std::map<std::string, uint32_t> atoms;
    std::map<std::string, double> namedValues;
    std::deque<std::array<uint8_t, 2>> keys;
    // Records of what the external asked for, each bounded (see Keep).
    std::vector<std::string> namedValueRequests;
    std::vector<std::string> shownMessages;
    std::vector<std::string> pushedProcedures;
    uint64_t proceduresPushed = 0;  // ever, the ones dropped from the record too
    // Runs a pushed procedure while its request is answered (Host::OnProcedure).
    std::function<void(const std::string&)> runProcedure;
    std::vector<int32_t> requestLog;

    // The most entries a record holds: when one is full, its older half goes,
    // so that it always holds at least the newest half of this many.
    static constexpr size_t kRequestLogLimit = 65536;
    static constexpr size_t kTextRecordLimit = 4096;
    template <typename T>
    static void Keep(std::vector<T>& record, T entry, size_t limit) {
        if (record.size() >= limit) record.erase(record.begin(), record.begin() + limit / 2);
        record.push_back(std::move(entry));
    }

    // The variable, created empty when first named.
    Value& Variable(const std::string& name);
    // The variable's list, turning the variable into an empty list if it
    // holds anything else.
    HostList& List(const std::string& name);

    // Request 28: the reference of a variable the application defines, 0 for
    // any other name. "#LN" and "EX_EXT_ERROR" are defined as Options say.
    int16_t ReferenceOf(const std::string& name);
    // The value a reference names; null when it names nothing. scratch holds
    // values made up on the spot (the parameter count).
    const Value* Read(int32_t ref, Value* scratch);
    // Where a write to a reference lands; null when it cannot be written.
    Value* Target(int32_t ref);
    // The host list that a reference names: a variable, or a parameter that
    // is a variable or a text naming one. Null when it names none.
    HostList* ListAt(int32_t ref);
    // The text a reference holds ("" when it names nothing).
    std::string TextAt(int32_t ref);

    // Request 43, operation 6: the list's line count becomes min(count,
    // maxListLines); lines kept keep their cells, new lines are empty, and "#LN" the count it now has.
    void SetLineCount(HostList& list, int32_t count);

    // Reset before each call so that nothing of the previous call shows.
    void BeginCall(int32_t position, const std::vector<Arg>& args);
};

}  // namespace vhost
