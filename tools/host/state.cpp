#include "state.h"

#include <algorithm>
#include <new>

#include "host/callbacks.h"

namespace vhost {

Value& HostState::Variable(const std::string& name) { return variables[name]; }

HostList& HostState::List(const std::string& name) {
    Value& v = Variable(name);
    if (v.kind != Value::kList || !v.list) v = Value::NewList();
    return *v.list;
}

int16_t HostState::ReferenceOf(const std::string& name) {
    if (name == kLineNumberName) {
        if (!options.defineLineNumber) return 0;
        Variable(name);
    } else if (name == kErrorName) {
        if (!options.defineErrorVariable) return 0;
        Variable(name);
    } else if (variables.count(name) == 0) {
        return 0;
    }
    const auto it = std::find(variableOfRef.begin(), variableOfRef.end(), name);
    const size_t index = static_cast<size_t>(it - variableOfRef.begin());
    if (it == variableOfRef.end()) {
        if (kFirstVariableRef + index > INT16_MAX) return 0;  // references are 16-bit
        variableOfRef.push_back(name);
    }
    return static_cast<int16_t>(kFirstVariableRef + index);
}

const Value* HostState::Read(int32_t ref, Value* scratch) {
    if (ref == kRefStatus) return &status;
    if (ref == kRefValue) return &value;
    if (ref == kRefParamCount) {
        *scratch = Value::Num(static_cast<double>(params.size()));
        return scratch;
    }
    if (ref >= kRefParam1 && ref < kRefParam1 + static_cast<int32_t>(params.size())) {
        const Arg& a = params[static_cast<size_t>(ref - kRefParam1)];
        if (!a.isVariable) return &a.literal;
        return &Variable(a.variable);
    }
    if (ref >= kFirstVariableRef &&
        ref < kFirstVariableRef + static_cast<int32_t>(variableOfRef.size())) {
        const auto it = variables.find(variableOfRef[static_cast<size_t>(ref - kFirstVariableRef)]);
        if (it != variables.end()) return &it->second;
    }
    return nullptr;
}

Value* HostState::Target(int32_t ref) {
    if (ref == kRefStatus) return &status;
    if (ref == kRefValue) return &value;
    if (ref >= kRefParam1 && ref < kRefParam1 + static_cast<int32_t>(params.size())) {
        Arg& a = params[static_cast<size_t>(ref - kRefParam1)];
        if (!a.isVariable) return &a.literal;
        return &Variable(a.variable);
    }
    if (ref >= kFirstVariableRef &&
        ref < kFirstVariableRef + static_cast<int32_t>(variableOfRef.size()))
        return &Variable(variableOfRef[static_cast<size_t>(ref - kFirstVariableRef)]);
    return nullptr;
}

HostList* HostState::ListAt(int32_t ref) {
    std::string name;
    if (ref >= kRefParam1 && ref < kRefParam1 + static_cast<int32_t>(params.size())) {
        const Arg& a = params[static_cast<size_t>(ref - kRefParam1)];
        name = a.isVariable ? a.variable : a.literal.ToString();
    } else if (ref >= kFirstVariableRef &&
               ref < kFirstVariableRef + static_cast<int32_t>(variableOfRef.size())) {
        name = variableOfRef[static_cast<size_t>(ref - kFirstVariableRef)];
    }
    if (name.empty()) return nullptr;
    return &List(name);
}

std::string HostState::TextAt(int32_t ref) {
    Value scratch;
    const Value* v = Read(ref, &scratch);
    return v ? v->ToString() : std::string();
}

void HostState::SetLineCount(HostList& list, int32_t count) {
    const int32_t wanted = std::max(0, std::min(count, options.maxListLines));
    try {
        list.lines.resize(static_cast<size_t>(wanted));
    } catch (const std::bad_alloc&) {
        // Keeps what it had; "#LN" tells the external how many lines there are.
    }
    Variable(kLineNumberName) = Value::Num(list.LineCount());
}

void HostState::BeginCall(int32_t position, const std::vector<Arg>& args) {
    params = args;
    packageId = position;
    status = Value();
    value = Value();
    if (variables.count(kErrorName) != 0) variables[kErrorName] = Value();
}

}  // namespace vhost
