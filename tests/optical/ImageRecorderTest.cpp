// SPDX-License-Identifier: GPL-3.0-or-later
#include "optical/ImageRecorder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>

#include "base/Errors.h"
#include "base/StrConst.h"
#include "platform/sim/ScriptedDialogs.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::Text;
using test::TTempDir;
using testing::HasSubstr;
namespace fs = std::filesystem;

constexpr std::size_t kCdImageSize = 1'515'520;

Bytes Pattern(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = std::uint8_t(i * 7 + i / 509);
    return bytes;
}

// A stream that is read like a file (it lends no bytes in memory), records every read and fails
// from a given byte on.
class TProbeStream : public TMemoryStream {
public:
    explicit TProbeStream(std::vector<std::uint8_t> bytes, std::uint64_t failAt = UINT64_MAX)
        : TMemoryStream(std::move(bytes)), failAt_(failAt) {}

    std::size_t Read(void* buffer, std::size_t count) override {
        reads.push_back(count);
        if (Position() + count > failAt_) return 0;
        return TMemoryStream::Read(buffer, count);
    }
    std::span<const std::uint8_t> HeldBytes() const override { return {}; }

    std::vector<std::size_t> reads;

private:
    std::uint64_t failAt_;
};

std::vector<std::string> FilesIn(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class ImageRecorderTest : public ::testing::Test {
protected:
    bool Choose(const std::optional<std::string>& path) {
        dialogs.saveFileAnswers.push_back(path);
        state.DiscStatus = 3;
        return recorder.CheckReady(state);
    }
    bool Write(TStream& source) { return recorder.WriteImage(status, source, nullptr); }

    TTempDir temp;
    std::string out = temp / "Korvane.ISO";
    TStringTable texts;
    TScriptedDialogs dialogs;
    TimageRecorder recorder{dialogs, texts};
    TDiscState state;
    TBurnStatus status;
};

TEST_F(ImageRecorderTest, AsksForAnIsoFileAndStandsInForABlankDisc) {
    EXPECT_EQ(recorder.DisplayName, "Image recorder (Save CD image as ISO file)");
    EXPECT_TRUE(recorder.IsWriter());
    EXPECT_EQ(recorder.ReadCapabilities(), kScsiOk);
    ASSERT_TRUE(Choose(out));
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].defaultExtension, "ISO");
    EXPECT_EQ(dialogs.saveRequests[0].proposedName, "Quellmark.iso");
    EXPECT_EQ(dialogs.saveRequests[0].filter, "*.ISO");
    EXPECT_EQ(state.DiscStatus, 0);
    EXPECT_EQ(recorder.Destination(), out);
}

TEST_F(ImageRecorderTest, CancelledDialogMakesNoFile) {
    EXPECT_FALSE(Choose(std::nullopt));
    EXPECT_TRUE(FilesIn(temp.Path()).empty());
    TMemoryStream source(Pattern(100));
    EXPECT_FALSE(Write(source));
    EXPECT_TRUE(FilesIn(temp.Path()).empty());
}

TEST_F(ImageRecorderTest, BootCdImageIsCopiedWholeInTenThousandByteChunks) {
    const auto image = Pattern(kCdImageSize);
    TProbeStream source(image);
    source.SetPosition(kCdImageSize / 2);  // the copy starts from the beginning whatever the position
    ASSERT_TRUE(Choose(out));
    ASSERT_TRUE(Write(source));
    EXPECT_EQ(ReadWholeFile(out), image);
    std::vector<std::size_t> chunks(151, 10'000);
    chunks.push_back(5'520);
    EXPECT_EQ(source.reads, chunks);
    EXPECT_EQ(FilesIn(temp.Path()), std::vector<std::string>{"Korvane.ISO"});
}

TEST_F(ImageRecorderTest, EmptySourceGivesAnEmptyFile) {
    TMemoryStream source;
    ASSERT_TRUE(Choose(out));
    ASSERT_TRUE(Write(source));
    EXPECT_TRUE(fs::exists(out));
    EXPECT_EQ(fs::file_size(out), 0u);
}

TEST_F(ImageRecorderTest, ExistingFileIsReplacedOnlyBySuccess) {
    test::WriteFile(out, Text("old image"));
    ASSERT_TRUE(Choose(out));
    EXPECT_EQ(ReadWholeFile(out), Text("old image"));

    TProbeStream failing(Pattern(50'000), 25'000);
    EXPECT_FALSE(Write(failing));
    EXPECT_EQ(status.Code, burncode::WriteError);
    EXPECT_EQ(ReadWholeFile(out), Text("old image"));
    EXPECT_EQ(FilesIn(temp.Path()), std::vector<std::string>{"Korvane.ISO"});

    // The failed use closed its file: writing again needs a new choice.
    TMemoryStream source(Pattern(30'000));
    EXPECT_FALSE(Write(source));
    ASSERT_TRUE(Choose(out));
    ASSERT_TRUE(Write(source));
    EXPECT_EQ(ReadWholeFile(out), Pattern(30'000));
    EXPECT_EQ(FilesIn(temp.Path()), std::vector<std::string>{"Korvane.ISO"});
}

TEST_F(ImageRecorderTest, DiscardDropsTheScratchFileAndKeepsTheOldOne) {
    test::WriteFile(out, Text("old image"));
    ASSERT_TRUE(Choose(out));
    recorder.Discard();
    EXPECT_EQ(FilesIn(temp.Path()), std::vector<std::string>{"Korvane.ISO"});
    EXPECT_EQ(ReadWholeFile(out), Text("old image"));

    // So does the end of the recorder's life.
    {
        TimageRecorder other(dialogs, texts);
        dialogs.saveFileAnswers.push_back(temp / "other.iso");
        ASSERT_TRUE(other.CheckReady(state));
        EXPECT_EQ(FilesIn(temp.Path()).size(), 2u);
    }
    EXPECT_EQ(FilesIn(temp.Path()), std::vector<std::string>{"Korvane.ISO"});
}

TEST_F(ImageRecorderTest, DestinationThatCannotBeWrittenIsNamedWithTheReason) {
    const std::string unwritable = temp / "missing/dir/x.iso";
    EXPECT_FALSE(Choose(unwritable));
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_THAT(dialogs.Messages()[0], HasSubstr("Cannot create the image file "));
    EXPECT_THAT(dialogs.Messages()[0], HasSubstr(unwritable));
#ifdef _WIN32
    EXPECT_THAT(dialogs.Messages()[0], HasSubstr("Path not found"));
#else
    EXPECT_THAT(dialogs.Messages()[0], HasSubstr("No such file or directory"));
#endif
    EXPECT_TRUE(FilesIn(temp.Path()).empty());

    // A directory in the way is refused when chosen, before any image is built.
    fs::create_directory(out);
    EXPECT_FALSE(Choose(out));
    ASSERT_EQ(dialogs.Messages().size(), 2u);
    EXPECT_EQ(dialogs.Messages()[1], "Cannot create the image file " + out + ": it is a folder");
    EXPECT_TRUE(fs::is_directory(out));
    EXPECT_EQ(FilesIn(temp.Path()), std::vector<std::string>{"Korvane.ISO"});
}

// Only a plain new name in an existing folder receives the default extension; any other name stands
// as given, to be replaced (an existing file) or refused (a folder, "-", a device).
TEST(ImageFileName, OnlyAPlainNewNameInAnExistingFolderReceivesTheDefault) {
    test::TTempDir temp;
    EXPECT_EQ(WithDefaultExtension(temp / "boot", "ISO"), temp / "boot.ISO");
    EXPECT_EQ(WithDefaultExtension(temp / "boot.iso", "ISO"), temp / "boot.iso");
    fs::create_directory(temp / "v1.2");
    EXPECT_EQ(WithDefaultExtension(temp / "v1.2/boot", "ISO"), temp / "v1.2/boot.ISO");
    test::WriteFile(temp / "existing", {});
    EXPECT_EQ(WithDefaultExtension(temp / "existing", "ISO"), temp / "existing");
    fs::create_directory(temp / "folder");
    EXPECT_EQ(WithDefaultExtension(temp / "folder", "ISO"), temp / "folder");
    EXPECT_EQ(WithDefaultExtension(temp / "folder/", "ISO"), temp / "folder/");
    EXPECT_EQ(WithDefaultExtension(temp / "missing/boot", "ISO"), temp / "missing/boot");
    EXPECT_EQ(WithDefaultExtension("-", "ISO"), "-");
#ifndef _WIN32
    EXPECT_EQ(WithDefaultExtension("/dev/null", "ISO"), "/dev/null");
    EXPECT_EQ(WithDefaultExtension("/dev/bootdisk-none", "ISO"), "/dev/bootdisk-none");
#endif
}

}  // namespace
}  // namespace bootdisk
