#include "AtomicOutputFile.h"
#include "ToolTestSupport.h"

#include <gtest/gtest.h>

namespace {

using TessaroTools::AtomicOutputFile;
using ToolTest::readFile;
using ToolTest::TemporaryDirectory;
using ToolTest::writeFile;

using Names = std::vector<std::string>;

TEST(AtomicOutputFile, CommitPutsTheWholeTextInPlaceAndNothingElse) {
    TemporaryDirectory dir;
    const std::string target = dir.file("out.txt").string();
    {
        AtomicOutputFile file(target);
        file.stream() << "1 2 3 4\n";
        EXPECT_EQ(dir.entries().size(), 1u) << "a temporary file beside the target";
        EXPECT_EQ(dir.entries()[0].rfind("out.txt.tmp-", 0), 0u);
        file.commit();
    }
    EXPECT_EQ(readFile(target), "1 2 3 4\n");
    EXPECT_EQ(dir.entries(), Names{"out.txt"});
}

TEST(AtomicOutputFile, WithoutCommitNothingIsLeftAndAnOldFileIsKept) {
    TemporaryDirectory dir;
    {
        AtomicOutputFile file(dir.file("new.txt").string());
        file.stream() << "half";
    }
    EXPECT_TRUE(dir.entries().empty());

    writeFile(dir.file("old.txt"), "previous\n");
    {
        AtomicOutputFile file(dir.file("old.txt").string());
        file.stream() << "half";
    }
    EXPECT_EQ(dir.entries(), Names{"old.txt"});
    EXPECT_EQ(readFile(dir.file("old.txt")), "previous\n");
}

TEST(AtomicOutputFile, CommitReplacesAnOldFile) {
    TemporaryDirectory dir;
    writeFile(dir.file("out.txt"), "previous\n");
    AtomicOutputFile file(dir.file("out.txt").string());
    file.stream() << "new\n";
    file.commit();
    EXPECT_EQ(readFile(dir.file("out.txt")), "new\n");
}

TEST(AtomicOutputFile, UnwritablePlacesAreReportedWithTheTargetsName) {
    TemporaryDirectory dir;
    const std::string missing = dir.file("no-such-dir/out.txt").string();
    try {
        AtomicOutputFile file(missing);
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "cannot write " + missing + ": No such file or directory");
    }

    // A directory in the target's place: renaming over it fails at commit,
    // and the temporary file goes.
    std::filesystem::create_directory(dir.file("taken"));
    AtomicOutputFile file(dir.file("taken").string());
    file.stream() << "text";
    EXPECT_THROW(file.commit(), std::runtime_error);
    EXPECT_EQ(dir.entries(), Names{"taken"});
}

TEST(AtomicOutputFile, ALinkStaysALinkAndTheFileItLeadsToIsReplaced) {
    TemporaryDirectory dir;
    writeFile(dir.file("real.txt"), "previous\n");
    std::filesystem::create_symlink("real.txt", dir.file("link.txt"));
    AtomicOutputFile file(dir.file("link.txt").string());
    file.stream() << "new\n";
    file.commit();
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.txt")));
    EXPECT_EQ(readFile(dir.file("real.txt")), "new\n");
    EXPECT_EQ(dir.entries(), (Names{"link.txt", "real.txt"}));
}

// Renaming a file over /dev/null or /dev/stdout would replace the device
// (for root, whom nothing stops); such targets are written in place.
TEST(AtomicOutputFile, DevicesAreWrittenInPlace) {
    AtomicOutputFile file("/dev/null");
    file.stream() << "discarded\n";
    file.commit();
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
}

TEST(AtomicOutputFile, WriteFailureIsReportedAtCommit) {
    // A stream that failed while writing (a full disk, say) is not renamed
    // into place.
    TemporaryDirectory dir;
    AtomicOutputFile file(dir.file("out.txt").string());
    file.stream().setstate(std::ios::badbit);
    EXPECT_THROW(file.commit(), std::runtime_error);
    EXPECT_TRUE(dir.entries().empty());
}

} // namespace
