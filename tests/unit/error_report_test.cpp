#include "app/ErrorReport.h"
#include "app/ProgramFolder.h"
#include "fakes/RecordedErrors.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using ErrorReportTest = RecordedErrors;

TEST_F(ErrorReportTest, GeneralErrorIsLocatedByFileNameAndLine) {
    try {
        throw runtime_error(42, "C:\\src\\app\\Kest2cnf.cpp", "Windows NT3.51 is not supported.");
    } catch (runtime_error&) {
    }
    EXPECT_EQ(ErrorCode, ErrorGeneral);
    EXPECT_STREQ(ErrorStringBuffer,
                 "Error(Kest2cnf.cpp 42\x8D\x73)\nWindows NT3.51 is not supported.\n");
    EXPECT_STREQ(runtime_error::GetErrorString(), ErrorStringBuffer);
    EXPECT_TRUE(Lines().empty());
}

TEST_F(ErrorReportTest, EveryShapeOfTheComposedText) {
    SetErrorString("Error", "/home/u/File.cpp", -7, "m", "d");
    EXPECT_STREQ(ErrorStringBuffer, "Error(File.cpp -7\x8D\x73)\nm\n->d\n");
    SetErrorString("Error", nullptr, 0, "m", nullptr);
    EXPECT_STREQ(ErrorStringBuffer, "Error\nm\n");
    SetErrorString(nullptr, nullptr, 0, "only", nullptr);
    EXPECT_STREQ(ErrorStringBuffer, "only\n");
    SetErrorString(nullptr, "a.cpp", 1, nullptr, nullptr);
    EXPECT_STREQ(ErrorStringBuffer, "(a.cpp 1\x8D\x73)\n");
    SetErrorString(nullptr, nullptr, 0, "100% %s %n", nullptr); // not a format
    EXPECT_STREQ(ErrorStringBuffer, "100% %s %n\n");
}

TEST_F(ErrorReportTest, FileErrorCarriesTheTableMessageAndTheFileName) {
    try {
        throw exception_file(9, "File.cpp", "MIDI\\gm\\program.txt", 3);
    } catch (runtime_error&) {
    }
    EXPECT_EQ(ErrorCode, ErrorFile);
    EXPECT_STREQ(ErrorStringBuffer,
                 "Error(File.cpp 9\x8D\x73)\nA file cannot be read.\n->MIDI\\gm\\program.txt\n");
    exception_file(1, "f", "x", 11);
    EXPECT_NE(std::string(ErrorStringBuffer)
                  .find("\nA problem occured with\nthe decompression "
                        "buffer.\n->x\n"),
              std::string::npos);
}

TEST_F(ErrorReportTest, ASecondRecordingReplacesTheFirst) {
    runtime_error(1, "a.cpp", "first");
    exception_file(2, "b.cpp", "name", 1);
    EXPECT_EQ(ErrorCode, ErrorFile);
    EXPECT_STREQ(ErrorStringBuffer, "Error(b.cpp 2\x8D\x73)\nA file cannot opened.\n->name\n");
}

TEST_F(ErrorReportTest, OverlongTextStaysTerminatedAndIsReported) {
    const std::string message(600, 'x');
    SetErrorString("Error", nullptr, 0, message.c_str(), nullptr);
    EXPECT_EQ(std::strlen(ErrorStringBuffer), 511u);
    EXPECT_EQ(std::string(ErrorStringBuffer, 6), "Error\n");
    EXPECT_EQ(Lines(), std::vector<std::string>{"failed: ErrorStringBuffer Overflow\n"});

    Lines().clear();
    const std::string exact(511 - 7, 'y'); // "Error\n" + text + "\n" is exactly 511
    SetErrorString("Error", nullptr, 0, exact.c_str(), nullptr);
    EXPECT_EQ(std::strlen(ErrorStringBuffer), 511u);
    EXPECT_TRUE(Lines().empty());
}

TEST_F(ErrorReportTest, OutOfMemoryRecordsTheRequestedSize) {
    EXPECT_THROW(OutOfMemoryHandler(123456), exception_memory);
    EXPECT_EQ(ErrorCode, ErrorOutOfMemory);
    EXPECT_STREQ(ErrorStringBuffer, "Error\nLacking memory by 123456 bytes.\n");
    EXPECT_THROW(OutOfMemoryHandler(0xF0000000u), runtime_error);
    EXPECT_STREQ(ErrorStringBuffer, "Error\nLacking memory by 4026531840 bytes.\n");
}

TEST_F(ErrorReportTest, DebugPrintFormatsAndCutsLongLines) {
    DebugPrint("failed: File::Read[%d byte, %s]\n", 12, "a.txt");
    const std::string huge(5000, 'z');
    DebugPrint("%s", huge.c_str());
    ASSERT_EQ(Lines().size(), 2u);
    EXPECT_EQ(Lines()[0], "failed: File::Read[12 byte, a.txt]\n");
    EXPECT_EQ(Lines()[1], std::string(1023, 'z'));
}

TEST(ProgramFolder, CutsAtTheLastBackslashOnly) {
    char path[] = "C:\\Games\\Kest\\KestSetup.exe";
    EXPECT_TRUE(CutToFolder(path));
    EXPECT_STREQ(path, "C:\\Games\\Kest");
    char bare[] = "KestSetup.exe";
    EXPECT_FALSE(CutToFolder(bare));
    EXPECT_STREQ(bare, "KestSetup.exe");
}

TEST(ProgramFolder, MainWindowOriginIsSignedAndTruncatesTowardZero) {
    EXPECT_EQ(MainWindowOrigin(1024, 740).x, 302);
    EXPECT_EQ(MainWindowOrigin(1024, 740).y, 220);
    EXPECT_EQ(MainWindowOrigin(401, 299).x, -9); // -19 / 2
    EXPECT_EQ(MainWindowOrigin(401, 299).y, 0);  // -1 / 2
}

} // namespace
