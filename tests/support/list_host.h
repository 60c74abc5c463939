// Fixture for tests through the substitute host: a loaded external, a
// temporary directory for list files, and short forms of common calls.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host.h"
#include "support/files.h"

namespace listhost {

class ListHostTest : public ::testing::Test {
protected:
    void SetUp() override { StartHost(vhost::Options()); }
    void TearDown() override {
        if (host_) host_->Unload();
    }

    // (Re)starts the host with the options and sends the load message.
    void StartHost(const vhost::Options& options) {
        if (host_) host_->Unload();
        std::string error;
        host_ = vhost::Host::Create("", options, &error);
        ASSERT_TRUE(host_) << error;
        host_->Load();
    }

    vhost::Host& host() { return *host_; }
    std::string PathOf(const std::string& list) const { return dir_.File(list + ".txt"); }

    // Writes the list's file, then loads it; both return the status.
    int16_t LoadBytes(const std::string& list, const std::string& bytes, int sortCol = 1,
                      int rsnCol = 1) {
        testfiles::WriteBytes(PathOf(list), bytes);
        return LoadFile(list, sortCol, rsnCol);
    }
    int16_t LoadFile(const std::string& list, int sortCol = 1, int rsnCol = 1) {
        using vhost::Arg;
        return Call("LoadList", {Arg::Text(list), Arg::Text(PathOf(list)), Arg::Num(sortCol),
                                 Arg::Num(rsnCol)})
            .Status();
    }

    // A command with a list name and one more parameter (SortList, AddLine...).
    int16_t Command(const std::string& function, const std::string& list, const vhost::Arg& arg) {
        return Call(function, {vhost::Arg::Text(list), arg}).Status();
    }

    vhost::CallResult Call(const std::string& function, const std::vector<vhost::Arg>& args) {
        return host_->Call(function, args);
    }

    testfiles::TempDir dir_;
    std::unique_ptr<vhost::Host> host_;
};

}  // namespace listhost
