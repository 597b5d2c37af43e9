#include <gtest/gtest.h>

#include "recovery/image_carver.h"
#include "tests/support/bytes.h"
#include "tests/support/fake_platform.h"
#include "tests/support/memory_file_system.h"

namespace {

const std::string kSource = "C:\\Work\\photo.psd";
const std::string kFolder = "C:\\Work\\photoREC";

// Filler that holds no signature, end marker or resource mark.
Bytes Filler(size_t size) {
    return Bytes(size, 0x11);
}

class CarverTest : public ::testing::Test {
  protected:
    CarveResult Carve(const Bytes& source, LanguageId language = LanguageId::English) {
        files_.files[kSource] = source;
        return ImageCarver(files_, platform_).Carve(kSource, kFolder, language);
    }
    const Bytes& Image(const std::string& name) { return files_.files.at(kFolder + "\\" + name); }
    bool HasImage(const std::string& name) { return files_.files.count(kFolder + "\\" + name) != 0; }
    std::string Shown(const SixLanguageText& entry, LanguageId language = LanguageId::English) {
        return Localize(entry, language, TextEncoding::Cp1252);
    }

    MemoryFileSystem files_;
    FakePlatform platform_;
};

TEST_F(CarverTest, EmptyAndCompoundSourcesGiveNothing) {
    Bytes compound = Filler(5000);
    Plant(compound, 0, kCompoundBytes);
    Plant(compound, 100, kJpegStartBytes);
    Plant(compound, 300, kJpegEndBytes);
    for (const Bytes& source : {Bytes{}, compound}) {
        const CarveResult result = Carve(source);
        EXPECT_EQ(result.imageCount, 0);
        EXPECT_EQ(result.imageFolder, "");
        EXPECT_FALSE(result.failed);
    }
    EXPECT_TRUE(files_.folders.empty());
    EXPECT_TRUE(platform_.messages.empty());
}

TEST_F(CarverTest, JpegRunsFromItsStartToItsEndMarkerAndScanningResumesAfterIt) {
    Bytes source = Filler(10000);
    Plant(source, 100, kJpegStartBytes);
    Plant(source, 3098, kJpegEndBytes);
    Plant(source, 3100, kJpegStartBytes);
    Plant(source, 5000, kJpegEndBytes);
    const CarveResult result = Carve(source);
    EXPECT_EQ(result.imageCount, 2);
    EXPECT_EQ(result.imageFolder, kFolder);
    EXPECT_EQ(Image("1.jpg"), Slice(source, 100, 3100));
    EXPECT_EQ(Image("2.jpg"), Slice(source, 3100, 5002));
    EXPECT_EQ(files_.folders, std::set<std::string>{kFolder});
    EXPECT_TRUE(platform_.messages.empty());
}

TEST_F(CarverTest, FirstPieceIsTheRestOfTheBlockWithoutLookingForAnEnd) {
    Bytes source = Filler(4000);
    Plant(source, 0, kJpegStartBytes);
    Plant(source, 498, kJpegEndBytes);   // the stream's own end, inside the block where it starts
    Plant(source, 2000, kJpegEndBytes);  // the first end in a later block
    Carve(source);
    EXPECT_EQ(Image("1.jpg"), Slice(source, 0, 2002));
}

TEST_F(CarverTest, ResourceMarkRefusesLaterEndsInItsBlock) {
    struct Case {
        const char* what;
        std::vector<std::pair<size_t, Bytes>> plants;  // offsets inside the first copy block [1024, 2048)
        size_t image_end;                              // in the source
    };
    const Bytes kMark = {0x38, 0x42};
    const Bytes kZeroMark = {0x00, 0x38};
    const std::vector<Case> cases = {
        {"end before the mark", {{40, kMark}, {10, kJpegEndBytes}, {60, kJpegEndBytes}}, 1024 + 12},
        {"end only after the mark", {{40, kMark}, {60, kJpegEndBytes}}, 3072 + 102},
        {"8B right after the end", {{10, kJpegEndBytes}, {12, kMark}}, 3072 + 102},
        {"00 38 right after the end", {{10, kJpegEndBytes}, {12, kZeroMark}}, 3072 + 102},
        {"mark three bytes after the end", {{10, kJpegEndBytes}, {13, kMark}}, 1024 + 12},
        {"marks at block offsets 0 and 1 do not count", {{0, kMark}, {10, kJpegEndBytes}}, 1024 + 12},
        {"end split over two copy blocks", {{1023, {0xFF}}, {1024, {0xD9}}}, 3072 + 102},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        files_ = MemoryFileSystem();
        Bytes source = Filler(5000);
        Plant(source, 0, kJpegStartBytes);
        for (const auto& [offset, bytes] : c.plants)
            Plant(source, 1024 + offset, bytes);
        Plant(source, 3072 + 100, kJpegEndBytes);
        Carve(source);
        EXPECT_EQ(Image("1.jpg"), Slice(source, 0, c.image_end));
    }
}

TEST_F(CarverTest, PngSignedStreamEndsWithTheChecksumAfterIend) {
    Bytes source = Filler(6000);
    Plant(source, 10, kPngStartBytes);
    Plant(source, 1500, kPngEndBytes);
    // Blocks now run from 1508 on. IEND in the last four bytes of a copy block: the checksum comes from the source.
    const size_t third_copy_block = 1508 + 3 * 1024;
    Plant(source, 2100, kPngStartBytes);
    Plant(source, third_copy_block - 4, kPngEndBytes);
    Plant(source, third_copy_block + 4, kJpegStartBytes);
    Plant(source, 5800, kJpegEndBytes);
    const CarveResult result = Carve(source);
    EXPECT_EQ(result.imageCount, 3);
    EXPECT_EQ(Image("1.gif"), Slice(source, 10, 1508));
    EXPECT_EQ(Image("2.gif"), Slice(source, 2100, third_copy_block + 4));
    EXPECT_EQ(Image("1.jpg"), Slice(source, third_copy_block + 4, 5802));
}

TEST_F(CarverTest, KindsAreCountedApart) {
    Bytes source = Filler(9000);
    Plant(source, 0, kJpegStartBytes);
    Plant(source, 2000, kJpegEndBytes);
    Plant(source, 2002, kPngStartBytes);
    Plant(source, 4000, kPngEndBytes);
    Plant(source, 5000, kJpegStartBytes);
    Plant(source, 7000, kJpegEndBytes);
    const CarveResult result = Carve(source);
    EXPECT_EQ(result.imageCount, 3);
    EXPECT_TRUE(HasImage("1.jpg") && HasImage("2.jpg") && HasImage("1.gif"));
    EXPECT_EQ(Image("1.gif"), Slice(source, 2002, 4008));
}

TEST_F(CarverTest, StartsAfterAnUnendedImageGetTheRestOfTheirBlock) {
    Bytes source = Filler(3000);
    Plant(source, 10, kJpegStartBytes);
    Plant(source, 600, kPngStartBytes);
    const CarveResult result = Carve(source);
    EXPECT_EQ(result.imageCount, 2);
    EXPECT_EQ(Image("1.jpg"), Slice(source, 10, 3000));
    EXPECT_EQ(Image("1.gif"), Slice(source, 600, 1024));
}

TEST_F(CarverTest, StartSignatureAcrossABlockBoundaryIsFound) {
    for (const size_t start : {1020u, 1021u, 1022u, 1023u}) {
        SCOPED_TRACE(start);
        files_ = MemoryFileSystem();
        Bytes source = Filler(4000);
        Plant(source, start, kJpegStartBytes);
        Plant(source, 3000, kJpegEndBytes);
        EXPECT_EQ(Carve(source).imageCount, 1);
        EXPECT_EQ(Image("1.jpg"), Slice(source, start, 3002));
    }
}

TEST_F(CarverTest, TakenNameAbortsButKeepsEarlierImagesAndTheFolder) {
    Bytes source = Filler(6000);
    Plant(source, 0, kJpegStartBytes);
    Plant(source, 2000, kJpegEndBytes);
    Plant(source, 3000, kJpegStartBytes);
    Plant(source, 5000, kJpegEndBytes);
    files_.files[kFolder + "\\2.jpg"] = {'o', 'l', 'd'};
    const CarveResult result = Carve(source, LanguageId::German);
    EXPECT_TRUE(result.aborted);
    EXPECT_FALSE(result.failed);
    EXPECT_EQ(result.imageCount, 1);
    EXPECT_EQ(result.imageFolder, kFolder);
    EXPECT_EQ(Image("2.jpg"), (Bytes{'o', 'l', 'd'}));
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].text, Shown(MsgImagesFolderExists, LanguageId::German));
    EXPECT_EQ(platform_.messages[0].caption, "Varnick PSD Recovery");

    platform_.messages.clear();
    const CarveResult again = Carve(source);
    EXPECT_TRUE(again.aborted);
    EXPECT_EQ(again.imageCount, 0);
    EXPECT_EQ(again.imageFolder, kFolder);
}

TEST_F(CarverTest, FailedWriteKeepsThePartialImageAndIsReported) {
    Bytes source = Filler(6000);
    Plant(source, 0, kJpegStartBytes);
    Plant(source, 3000, kJpegEndBytes);
    Plant(source, 4000, kJpegStartBytes);
    files_.write_limit = 1500;
    const CarveResult result = Carve(source, LanguageId::French);
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(result.imageCount, 1);
    EXPECT_EQ(Image("1.jpg"), Slice(source, 0, 1500));
    EXPECT_FALSE(HasImage("2.jpg"));
    EXPECT_EQ(platform_.Texts(), std::vector<std::string>{Shown(MsgWriteError, LanguageId::French)});
}

TEST_F(CarverTest, UncreatableImageEndsTheCarveUncounted) {
    Bytes source = Filler(3000);
    Plant(source, 0, kPngStartBytes);
    files_.uncreatable.insert(kFolder + "\\1.gif");
    const CarveResult result = Carve(source);
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(result.imageCount, 0);
    EXPECT_EQ(platform_.Texts(), std::vector<std::string>{Shown(MsgWriteError)});
}

TEST_F(CarverTest, ReadErrorEndsTheCarveAndIsReported) {
    Bytes source = Filler(8000);
    Plant(source, 100, kJpegStartBytes);
    // Had the read error been taken for the end of the source, this start would have given 2.jpg.
    Plant(source, 300, kJpegStartBytes);
    Plant(source, 6000, kJpegEndBytes);
    files_.read_error_at[kSource] = 5000;
    const CarveResult result = Carve(source);
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(Image("1.jpg"), Slice(source, 100, 5000));
    EXPECT_FALSE(HasImage("2.jpg"));
    EXPECT_EQ(platform_.Texts(), std::vector<std::string>{Shown(MsgWriteError)});
}

TEST_F(CarverTest, UnreadableSourceWritesNothing) {
    const CarveResult result = ImageCarver(files_, platform_).Carve("C:\\missing.psd", kFolder, LanguageId::Italian);
    EXPECT_TRUE(result.failed);
    EXPECT_TRUE(files_.folders.empty());
    EXPECT_EQ(platform_.Texts(), std::vector<std::string>{Shown(MsgWriteError, LanguageId::Italian)});
}

TEST_F(CarverTest, ExistingFolderIsUsed) {
    files_.folders.insert(kFolder);
    Bytes source = Filler(3000);
    Plant(source, 0, kJpegStartBytes);
    Plant(source, 2000, kJpegEndBytes);
    const CarveResult result = Carve(source);
    EXPECT_EQ(result.imageCount, 1);
    EXPECT_FALSE(result.failed);
}

// What the listing and the report are made of: each picture's kind, source offset, size on disk and end, and how
// far the carve got, also when it stops early.
TEST_F(CarverTest, ObserverHearsWhatIsOnDiskAndWhyAFileFailed) {
    struct Recorder final : CarveObserver {
        void OnSourceRead(uint64_t bytes_read) override { read = bytes_read; }
        void OnImageWritten(const CarvedImage& image) override { images.push_back(image); }
        void OnFileError(const std::string& path, const std::string& reason) override {
            errors.push_back(path + ": " + reason);
        }
        uint64_t read = 0;
        std::vector<CarvedImage> images;
        std::vector<std::string> errors;
    };
    struct Case {
        const char* what;
        std::optional<uint64_t> write_limit;
        std::optional<uint64_t> read_error_at;
        bool second_name_taken;
        std::vector<CarvedImage> images;
        uint64_t bytes_scanned;
        std::vector<std::string> errors;
    };
    const std::string folder = kFolder + "\\";
    const std::vector<Case> cases = {
        {"clean: the PNG-signed stream runs to the end of the source",
         {},
         {},
         false,
         {{folder + "1.jpg", ImageKind::Jpeg, 0, 2002, ImageEnd::Marker},
          {folder + "1.gif", ImageKind::PngSigned, 3000, 2000, ImageEnd::SourceEnd}},
         5000,
         {}},
        // A full disk: the listing must show the 1500 bytes that are there, not the 2002 meant.
        {"full disk",
         1500,
         {},
         false,
         {{folder + "1.jpg", ImageKind::Jpeg, 0, 1500, ImageEnd::Failed}},
         1024,
         {folder + "1.jpg: memory fault"}},
        {"read error inside the second picture",
         {},
         4000,
         false,
         {{folder + "1.jpg", ImageKind::Jpeg, 0, 2002, ImageEnd::Marker},
          {folder + "1.gif", ImageKind::PngSigned, 3000, 1000, ImageEnd::Failed}},
         4000,
         {kSource + ": memory fault"}},
        {"the second name is taken",
         {},
         {},
         true,
         {{folder + "1.jpg", ImageKind::Jpeg, 0, 2002, ImageEnd::Marker}},
         3000,
         {}},
    };
    Bytes source = Filler(5000);
    Plant(source, 0, kJpegStartBytes);
    Plant(source, 2000, kJpegEndBytes);
    Plant(source, 3000, kPngStartBytes);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        files_ = MemoryFileSystem();
        files_.files[kSource] = source;
        files_.write_limit = c.write_limit;
        if (c.read_error_at)
            files_.read_error_at[kSource] = *c.read_error_at;
        if (c.second_name_taken)
            files_.files[folder + "1.gif"] = {'o', 'l', 'd'};
        Recorder recorder;
        const CarveResult result =
            ImageCarver(files_, platform_, &recorder).Carve(kSource, kFolder, LanguageId::English);
        ASSERT_EQ(recorder.images.size(), c.images.size());
        for (size_t i = 0; i < c.images.size(); ++i) {
            const CarvedImage& heard = recorder.images[i];
            const CarvedImage& meant = c.images[i];
            EXPECT_EQ(heard.path, meant.path);
            EXPECT_EQ(heard.kind, meant.kind) << meant.path;
            EXPECT_EQ(heard.offset, meant.offset) << meant.path;
            EXPECT_EQ(heard.size, meant.size) << meant.path;
            EXPECT_EQ(heard.end, meant.end) << meant.path;
        }
        EXPECT_EQ(result.bytesScanned, c.bytes_scanned);
        EXPECT_EQ(recorder.errors, c.errors);
        EXPECT_EQ(recorder.read, c.read_error_at.value_or(source.size()));
    }
}

}  // namespace
