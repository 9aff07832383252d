// A fixture base that captures DebugPrint's lines and starts each test with no recorded error.
#pragma once

#include "app/ErrorReport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class RecordedErrors : public ::testing::Test {
  protected:
    void SetUp() override {
        Lines().clear();
        previous_ = SetDebugSink([](const char* line) { Lines().emplace_back(line); });
        ErrorCode = 0;
        ErrorStringBuffer[0] = '\0';
    }
    void TearDown() override { SetDebugSink(previous_); }

    static std::vector<std::string>& Lines() {
        static std::vector<std::string> lines;
        return lines;
    }

  private:
    DebugSink previous_ = nullptr;
};
