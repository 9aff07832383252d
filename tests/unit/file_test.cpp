// The file wrapper over scripted files: how it composes names, when it fails and how, and
// that it never leaves a handle open.
#include "app/ErrorReport.h"
#include "fakes/MemoryFiles.h"
#include "fakes/RecordedErrors.h"
#include "midi/File.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class FileTest : public RecordedErrors {
  protected:
    void TearDown() override {
        RecordedErrors::TearDown();
        EXPECT_EQ(files.OpenFiles(), 0u);
    }
    // The name the platform was asked to open.
    std::string OpenedName(const char* name, const char* extension, const char* directory) {
        files.calls.clear();
        File file(__FILE__, __LINE__, false, files);
        file.Open(GenericRead, name, extension, directory);
        return files.calls.empty() ? std::string("(none)") : files.calls.back().substr(5);
    }

    MemoryFiles files;
};

TEST_F(FileTest, ComposesDirectoryNameAndDefaultExtension) {
    EXPECT_EQ(OpenedName("readme", "txt", "docs\\"), "docs\\readme.txt");
    EXPECT_EQ(OpenedName("readme", ".txt", nullptr), "readme.txt");
    EXPECT_EQ(OpenedName("a.b", "txt", nullptr), "a.b");
    // A dot in a folder part of the name suppresses the extension; one in the directory not.
    EXPECT_EQ(OpenedName("old.dir\\readme", "txt", nullptr), "old.dir\\readme");
    EXPECT_EQ(OpenedName("readme", "txt", "setup.old\\"), "setup.old\\readme.txt");
    EXPECT_EQ(OpenedName("readme", nullptr, nullptr), "readme");
    EXPECT_EQ(OpenedName("readme", "", nullptr), "readme.");
    EXPECT_EQ(OpenedName("MIDI\\set\\program.txt", nullptr, ""), "MIDI\\set\\program.txt");
}

TEST_F(FileTest, OpensExistingFilesWithTheGivenAccess) {
    files.files["docs\\readme.txt"].contents = "hello";
    File file(__FILE__, __LINE__, false, files);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_STREQ(file.Name(), "");
    ASSERT_TRUE(file.Open(GenericRead, "readme", "txt", "docs\\"));
    EXPECT_TRUE(file.IsOpen());
    EXPECT_EQ(files.lastAccess, GenericRead);
    EXPECT_STREQ(file.Name(), "docs\\readme.txt");
    EXPECT_EQ(file.GetSize(), 5u);

    char buffer[16] = {};
    ASSERT_TRUE(file.Read(buffer, sizeof buffer)); // fewer bytes than asked is a success
    EXPECT_EQ(file.BytesRead(), 5u);
    EXPECT_STREQ(buffer, "hello");

    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.BytesRead(), 0u);
    EXPECT_STREQ(file.Name(), "");
    file.Close(); // nothing left to close
    EXPECT_EQ(files.CountCalls("close"), 1u);
    EXPECT_TRUE(Lines().empty());
}

TEST_F(FileTest, OpeningAgainClosesTheFirstFileBeforeAnythingElse) {
    files.files["a"].contents = "1";
    files.files["b"].contents = "2";
    {
        File file(__FILE__, __LINE__, false, files);
        ASSERT_TRUE(file.Open(GenericRead, "a", nullptr, nullptr));
        ASSERT_TRUE(file.Open(GenericRead, "b", nullptr, nullptr));
        EXPECT_EQ(files.calls, (std::vector<std::string>{"open a", "close a", "open b"}));
        EXPECT_EQ(files.OpenFiles(), 1u);
        // A failed open still closes what was open.
        EXPECT_FALSE(file.Open(GenericRead, "missing", nullptr, nullptr));
        EXPECT_EQ(files.OpenFiles(), 0u);
        EXPECT_STREQ(file.Name(), "missing"); // the composed name stays for the report
        ASSERT_TRUE(file.Open(GenericRead, "a", nullptr, nullptr));
    }
    // The destructor closed the last one.
    EXPECT_EQ(files.calls.back(), "close a");
}

TEST_F(FileTest, SizeIsUnknownWithoutAFileOrBeyondThirtyTwoBits) {
    File file(__FILE__, __LINE__, false, files);
    EXPECT_EQ(file.GetSize(), 0xFFFFFFFFu);
    files.files["big"].size = 0x10000000Au; // its low 32 bits would read as 10
    files.files["max"].size = 0xFFFFFFFEu;
    files.files["broken"].failSize = true;
    ASSERT_TRUE(file.Open(GenericRead, "big", nullptr, nullptr));
    EXPECT_EQ(file.GetSize(), 0xFFFFFFFFu);
    ASSERT_TRUE(file.Open(GenericRead, "max", nullptr, nullptr));
    EXPECT_EQ(file.GetSize(), 0xFFFFFFFEu);
    ASSERT_TRUE(file.Open(GenericRead, "broken", nullptr, nullptr));
    EXPECT_EQ(file.GetSize(), 0xFFFFFFFFu);
}

TEST_F(FileTest, WithoutThrowingFailuresAreQuietFalseResults) {
    File file(__FILE__, __LINE__, false, files);
    EXPECT_FALSE(file.Open(GenericRead, "missing", "txt", nullptr));
    char buffer[4];
    EXPECT_FALSE(file.Read(buffer, sizeof buffer)); // nothing open
    files.files["bad"].failRead = true;
    ASSERT_TRUE(file.Open(GenericRead, "bad", nullptr, nullptr));
    EXPECT_FALSE(file.Read(buffer, sizeof buffer));
    EXPECT_EQ(file.BytesRead(), 0u);
    EXPECT_TRUE(Lines().empty());
    EXPECT_EQ(ErrorCode, 0);
    EXPECT_STREQ(ErrorStringBuffer, "");
}

TEST_F(FileTest, ThrowingOpenRecordsAFileErrorWithTheFullName) {
    File file("src\\midi\\Sets.cpp", 77, true, files);
    EXPECT_THROW(file.Open(GenericRead, "readme", "txt", "docs\\"), exception_file);
    EXPECT_EQ(Lines(), std::vector<std::string>{"failed: File::Open[docs\\readme.txt]\n"});
    EXPECT_EQ(ErrorCode, ErrorFile);
    EXPECT_STREQ(ErrorStringBuffer,
                 "Error(Sets.cpp 77\x8D\x73)\nA file cannot opened.\n->docs\\readme.txt\n");
    EXPECT_FALSE(file.IsOpen());
}

TEST_F(FileTest, ThrowingReadRecordsAFileErrorWithTheCount) {
    files.files["data.bin"].failRead = true;
    File file("Sets.cpp", 9, true, files);
    ASSERT_TRUE(file.Open(GenericRead, "data", "bin", nullptr));
    char buffer[16];
    EXPECT_THROW(file.Read(buffer, 16), exception_file);
    EXPECT_EQ(Lines(), std::vector<std::string>{"failed: File::Read[16 byte, data.bin]\n"});
    EXPECT_EQ(ErrorCode, ErrorFile);
    EXPECT_STREQ(ErrorStringBuffer,
                 "Error(Sets.cpp 9\x8D\x73)\nA file cannot be read.\n->data.bin\n");
}

TEST_F(FileTest, ANameThatDoesNotFitFailsTheOpenWithoutAskingThePlatform) {
    const std::string folder = std::string(200, 'd') + "\\";
    const std::string fits(259 - folder.size() - 4, 'n'); // plus ".txt": 259 characters
    files.files[folder + fits + ".txt"].contents = "x";
    {
        File file(__FILE__, __LINE__, false, files);
        EXPECT_TRUE(file.Open(GenericRead, fits.c_str(), "txt", folder.c_str()));
        EXPECT_EQ(std::string(file.Name()).size(), 259u);
    }

    // One character more; a platform that cut it would open the other file.
    const std::string longer = fits + "n";
    files.files[(folder + longer + ".txt").substr(0, 259)].contents = "other";
    files.calls.clear();
    File quiet(__FILE__, __LINE__, false, files);
    EXPECT_FALSE(quiet.Open(GenericRead, longer.c_str(), "txt", folder.c_str()));
    EXPECT_EQ(files.CountCalls("open"), 0u);
    EXPECT_EQ(std::string(quiet.Name()).size(), 259u);
    EXPECT_TRUE(Lines().empty());

    File loud("Sets.cpp", 1, true, files);
    EXPECT_THROW(loud.Open(GenericRead, std::string(300, 'x').c_str(), nullptr, nullptr),
                 exception_file);
    EXPECT_EQ(files.CountCalls("open"), 0u);
    EXPECT_EQ(Lines().size(), 1u);
    EXPECT_EQ(ErrorCode, ErrorFile);
}

} // namespace
