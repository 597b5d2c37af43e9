// The archive reader on real files: what it accepts, what it refuses before writing anything, and how a copy ends
// when the disk, the archive or a stream fails.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <csignal>
#include <functional>

#include "installer/sfx_archive.h"
#include "installer/sfx_writer.h"
#include "tests/installer/sfx_test_files.h"
#include "tests/support/temp_dir.h"

namespace {

const std::string kImage = "MZ" + std::string(98, '\x90');
const std::vector<StoredFile> kFiles = {{"INSTALLER.exe", "MZ setup program"},
                                        {"readme.txt", "read me\r\n"},
                                        {"empty.dat", ""},
                                        {"data.bin", "\x01\x02"}};

void Remember(const SfxEntry& entry, void* context) {
    static_cast<std::vector<std::string>*>(context)->push_back(entry.name);
}

class SfxArchiveTest : public ::testing::Test {
  protected:
    void SetUp() override { std::filesystem::create_directory(out_); }

    std::string Archive(const std::string& bytes) {
        WriteWhole(archive_, bytes);
        return archive_;
    }
    std::string Archive(const std::vector<StoredFile>& files) {
        std::vector<SfxEntry> entries;
        return Archive(WithDirectory(LayOut(kImage, files, &entries), entries));
    }

    TempDir dir_;
    const std::string archive_ = dir_ / "setup.exe";
    const std::string out_ = dir_ / "out";
    SfxArchive sfx_;
};

TEST_F(SfxArchiveTest, EveryResultHasItsOwnText) {
    std::set<std::string> texts;
    for (int32_t code = kFirstSfxResult; code <= kLastSfxResult; ++code)
        texts.insert(ToString(static_cast<SfxResult>(code)));
    EXPECT_EQ(texts.size(), size_t{kLastSfxResult - kFirstSfxResult + 1});
    EXPECT_EQ(texts.count("unknown result"), 0u);
    EXPECT_STREQ(ToString(static_cast<SfxResult>(kLastSfxResult + 1)), "unknown result");
    EXPECT_EQ(static_cast<int32_t>(SfxResult::BadDirectory), 1003);
    EXPECT_EQ(static_cast<int32_t>(SfxResult::ReopenFailed), 1006);
}

TEST_F(SfxArchiveTest, WriterAndReaderAgreeAndFilesComeOutLastEntryFirst) {
    SfxWriter writer(archive_);
    ASSERT_EQ(writer.BeginWithStub(kImage), SfxResult::Ok);
    for (const StoredFile& file : kFiles)
        ASSERT_EQ(writer.AddBytes(file.name, file.bytes), SfxResult::Ok) << file.name;
    ASSERT_EQ(writer.Finish(), SfxResult::Ok);

    std::vector<SfxEntry> laid_out;
    EXPECT_EQ(ReadWhole(archive_), WithDirectory(LayOut(kImage, kFiles, &laid_out), laid_out));
    ASSERT_EQ(sfx_.ReadDirectory(archive_), SfxResult::Ok);
    ASSERT_EQ(sfx_.count(), kFiles.size());
    for (size_t i = 0; i < kFiles.size(); ++i) {
        EXPECT_EQ(sfx_.entries()[i].name, laid_out[i].name);
        EXPECT_EQ(sfx_.entries()[i].offset, laid_out[i].offset);
        EXPECT_EQ(sfx_.entries()[i].size, laid_out[i].size);
    }
    EXPECT_EQ(sfx_.entries()[0].offset, kImage.size());

    std::vector<std::string> order;
    ASSERT_EQ(sfx_.ExtractAll(archive_, out_, Remember, &order), SfxResult::Ok);
    EXPECT_EQ(order, (std::vector<std::string>{"data.bin", "empty.dat", "readme.txt", "INSTALLER.exe"}));
    for (const StoredFile& file : kFiles)
        EXPECT_EQ(ReadWhole(out_ + "/" + file.name), file.bytes) << file.name;
    EXPECT_TRUE(std::filesystem::is_regular_file(out_ + "/empty.dat"));
    EXPECT_EQ(sfx_.skipped(), 0u);
}

TEST_F(SfxArchiveTest, ReplacesExistingFilesAndSkipsOnlyWhatCannotBeCreated) {
    Archive(kFiles);
    WriteWhole(out_ + "/readme.txt", std::string(5000, 'x'));
    std::filesystem::create_directory(out_ + "/data.bin");  // a folder in the way: that file cannot be created

    std::vector<std::string> order;
    ASSERT_EQ(sfx_.ExtractAll(archive_, out_ + "/", Remember, &order), SfxResult::Ok);
    EXPECT_EQ(order.size(), kFiles.size()) << "the callback runs for a skipped entry too";
    EXPECT_EQ(sfx_.skipped(), 1u);
    EXPECT_EQ(sfx_.failed_path(), out_ + "/data.bin");
    EXPECT_EQ(ReadWhole(out_ + "/readme.txt"), "read me\r\n");
    EXPECT_EQ(ReadWhole(out_ + "/INSTALLER.exe"), "MZ setup program");
}

TEST_F(SfxArchiveTest, NeverWritesThroughALinkAFifoOrOverTheArchive) {
    // Unpacked into its own folder, an entry named like the archive would empty the archive while it is read.
    const std::string own = Archive({{"setup.exe", "the archive itself"}, {"readme.txt", "x"}});
    const std::string before = ReadWhole(own);
    EXPECT_EQ(sfx_.ExtractAll(own, dir_.path(), nullptr, nullptr), SfxResult::OwnArchive);
    std::filesystem::create_hard_link(own, out_ + "/other.exe");
    EXPECT_EQ(sfx_.ExtractAll(Archive({{"readme.txt", "x"}, {"other.exe", "y"}}), out_, nullptr, nullptr),
              SfxResult::OwnArchive)
        << "another name of the same file";
    EXPECT_FALSE(std::filesystem::exists(dir_ / "readme.txt"));
    EXPECT_FALSE(std::filesystem::exists(out_ + "/readme.txt"));
    std::filesystem::remove(out_ + "/other.exe");

    WriteWhole(dir_ / "outside.txt", "not yours");
    std::filesystem::create_symlink(dir_ / "outside.txt", out_ + "/readme.txt");
    std::filesystem::create_symlink(dir_ / "nowhere.txt", out_ + "/empty.dat");
    ASSERT_EQ(mkfifo((out_ + "/data.bin").c_str(), 0600), 0);
    Archive(kFiles);
    EXPECT_EQ(sfx_.ExtractAll(archive_, out_, nullptr, nullptr), SfxResult::Ok);
    EXPECT_EQ(sfx_.skipped(), 3u);
    EXPECT_EQ(ReadWhole(dir_ / "outside.txt"), "not yours");
    EXPECT_FALSE(std::filesystem::exists(dir_ / "nowhere.txt"));
    EXPECT_TRUE(std::filesystem::is_fifo(out_ + "/data.bin"));
    EXPECT_EQ(ReadWhole(out_ + "/INSTALLER.exe"), "MZ setup program");
}

TEST_F(SfxArchiveTest, AcceptsNamesAndExtentsAtTheEdges) {
    const std::string longest(kSfxMaxComponentLength, 'n');
    ASSERT_EQ(sfx_.ReadDirectory(Archive({{"a", "1"}, {longest, "longest name"}})), SfxResult::Ok);
    EXPECT_EQ(sfx_.entries()[1].name, longest);

    const std::vector<std::vector<StoredFile>> accepted = {
        {{".profile", "1"},
         {"a..b", "2"},
         {"caf\xE9 au lait.txt", "3"},
         {"console.log", ""},
         {"LPT10", "4"},
         {"COM\xB4", "5"},
         {"\xE9t\xE9", "6"},
         {"\xC9t\xE9.txt", "7"}},
        {{"only.txt", ""}},
    };
    for (const std::vector<StoredFile>& files : accepted) {
        TempDir out;
        ASSERT_EQ(sfx_.ExtractAll(Archive(files), out.path(), nullptr, nullptr), SfxResult::Ok) << files[0].name;
        for (const StoredFile& file : files)
            EXPECT_EQ(ReadWhole(out / file.name), file.bytes) << file.name;
    }

    std::vector<StoredFile> most;
    for (uint32_t i = 0; i < SfxArchive::MaxEntries; ++i)
        most.push_back({std::to_string(i), std::string(i % 3, 'z')});
    EXPECT_EQ(sfx_.ExtractAll(Archive(most), out_, nullptr, nullptr), SfxResult::Ok);
    EXPECT_EQ(NamesIn(out_).size(), SfxArchive::MaxEntries);

    // An empty file may sit right where the directory begins.
    std::vector<SfxEntry> entries;
    const std::string body = LayOut(kImage, {{"a", "abc"}}, &entries);
    entries.push_back({"end", 0, static_cast<uint32_t>(body.size())});
    EXPECT_EQ(sfx_.ReadDirectory(Archive(WithDirectory(body, entries))), SfxResult::Ok);
}

struct Refused {
    const char* what;
    std::function<std::string()> archive;
    const char* reason;  // start of refusal()
};

std::string Edited(const std::function<void(std::vector<SfxEntry>&)>& edit) {
    std::vector<SfxEntry> entries;
    const std::string body = LayOut(kImage, kFiles, &entries);
    edit(entries);
    return WithDirectory(body, entries);
}

std::function<std::string()> Named(std::string name) {
    return [name] { return Edited([&](std::vector<SfxEntry>& entries) { entries[1].name = name; }); };
}

// Directory records whose names are one byte each and whose files are empty, at the start of the file.
std::string EmptyRecords(uint32_t records, uint32_t count) {
    std::vector<SfxEntry> entries(records, SfxEntry{"e", 0, 0});
    for (uint32_t i = 0; i < records; ++i)
        entries[i].name = std::to_string(i);
    const std::vector<uint8_t> directory = EncodeSfxDirectory(entries);
    return std::string(directory.begin(), directory.end() - static_cast<long>(kSfxTrailerSize)) + Trailer(count);
}

TEST_F(SfxArchiveTest, RefusesTheWholeArchiveBeforeWritingAnything) {
    const std::vector<Refused> cases = {
        {"empty name", Named(""), "empty name"},
        {"dot", Named("."), "name is . or .."},
        {"dot dot", Named(".."), "name is . or .."},
        {"backslash", Named("..\\..\\evil.exe"), "name holds"},
        {"slash", Named("../evil"), "name holds"},
        {"absolute", Named("/etc/evil"), "name holds"},
        {"drive", Named("C:evil.exe"), "name holds"},
        {"stream", Named("readme.txt:hidden"), "name holds"},
        {"zero byte", Named(std::string("ok.txt\0.exe", 11)), "name holds"},
        {"name of 1000 bytes", Named(std::string(1000, 'n')), "name of 1000"},
        {"name of 256 bytes", Named(std::string(256, 'n')), "name longer than 255"},
        {"wildcard", Named("a*.txt"), "name holds a control character or one of"},
        {"question mark", Named("what?"), "name holds a control character or one of"},
        {"pipe and redirection", Named("a|b>c<d"), "name holds a control character or one of"},
        {"quote", Named("\"quoted\""), "name holds a control character or one of"},
        {"line feed", Named("line\nfeed"), "name holds a control character or one of"},
        {"escape", Named("\x1B[31mred"), "name holds a control character or one of"},
        {"device COM0", Named("com0"), "name of a device"},
        {"device LPT0", Named("LPT0.dat"), "name of a device"},
        {"device with superscript digit", Named("COM\xB9"), "name of a device"},
        {"device with superscript two", Named("lpt\xB2.txt"), "name of a device"},
        {"name stored twice", Named("INSTALLER.exe"), "name already stored"},
        {"names differing in case", Named("installer.EXE"), "name already stored"},
        {"names differing in the case of accented letters",
         [] {
             return Edited([](std::vector<SfxEntry>& entries) {
                 entries[0].name = "\xE9t\xE9.txt";
                 entries[1].name = "\xC9T\xC9.TXT";
             });
         },
         "name already stored"},
        {"trailing dot", Named("setup.exe."), "name ends with"},
        {"trailing blank", Named("setup.exe "), "name ends with"},
        {"device", Named("nul"), "name of a device"},
        {"device with extension", Named("Com1.txt"), "name of a device"},
        {"console", Named("CONOUT$"), "name of a device"},
        {"name length beyond the file",
         [] { return kImage + U32Bytes(0) + U32Bytes(0) + "abc" + U32Bytes(900) + Trailer(1); }, "the directory runs"},
        {"name length 0xFFFFFFFF", [] { return kImage + U32Bytes(0xFFFFFFFF) + Trailer(1); }, "name of 1000"},
        {"257 entries", [] { return EmptyRecords(257, 257); }, "more than 256"},
        {"count 0xFFFFFFFF", [] { return EmptyRecords(3, 0xFFFFFFFF); }, "more than 256"},
        {"count above the records", [] { return EmptyRecords(3, 4); }, "the directory runs"},
        {"trailer only", [] { return Trailer(1); }, "the directory runs"},
        {"magic without count", [] { return std::string("ab") + kSfxMagic; }, "the directory runs"},
        {"file into the directory",
         [] { return Edited([](std::vector<SfxEntry>& entries) { ++entries.back().size; }); }, "a stored file runs"},
        {"offset past the end",
         [] { return Edited([](std::vector<SfxEntry>& entries) { entries[0].offset = 0x7FFFFFF0; }); },
         "a stored file runs"},
        {"offset and size that end past 4 GiB",
         [] {
             return Edited([](std::vector<SfxEntry>& entries) {
                 entries[2].offset = 0xFFFFFF00;
                 entries[2].size = 0x200;
             });
         },
         "offset or size of 2 GiB"},
        {"offset of 2 GiB", [] { return Edited([](std::vector<SfxEntry>& e) { e[2].offset = 0x80000000; }); },
         "offset or size of 2 GiB"},
        {"size of 4 GiB - 1", [] { return Edited([](std::vector<SfxEntry>& e) { e[2].size = 0xFFFFFFFF; }); },
         "offset or size of 2 GiB"},
    };
    for (const Refused& c : cases) {
        TempDir out;
        EXPECT_EQ(sfx_.ExtractAll(Archive(c.archive()), out.path(), nullptr, nullptr), SfxResult::BadDirectory)
            << c.what;
        ASSERT_NE(sfx_.refusal(), nullptr) << c.what;
        EXPECT_EQ(std::string(sfx_.refusal()).rfind(c.reason, 0), 0u) << c.what << ": " << sfx_.refusal();
        EXPECT_EQ(sfx_.count(), 0u) << c.what;
        EXPECT_TRUE(NamesIn(out.path()).empty()) << c.what;
    }
}

TEST_F(SfxArchiveTest, NoTrailerNoEntriesAndMissingFiles) {
    std::vector<SfxEntry> entries;
    const std::string good = WithDirectory(LayOut(kImage, kFiles, &entries), entries);
    const std::vector<std::pair<std::string, SfxResult>> cases = {
        {good + '\0', SfxResult::NoTrailer},
        {good + std::string(512, '\x5A'), SfxResult::NoTrailer},  // a signature appended to the executable
        {good.substr(0, good.size() - 1) + "?", SfxResult::NoTrailer},
        {"", SfxResult::NoTrailer},
        {kImage + Trailer(0), SfxResult::NoEntries},
        {Trailer(0), SfxResult::NoEntries},
    };
    for (const auto& [bytes, result] : cases) {
        EXPECT_EQ(sfx_.ExtractAll(Archive(bytes), out_, nullptr, nullptr), result) << bytes.size();
        EXPECT_EQ(sfx_.refusal(), nullptr);
    }
    EXPECT_TRUE(NamesIn(out_).empty());

    EXPECT_EQ(sfx_.ExtractAll(dir_ / "missing.exe", out_, nullptr, nullptr), SfxResult::OpenFailed);
    EXPECT_EQ(sfx_.failed_path(), dir_ / "missing.exe");
    EXPECT_EQ(sfx_.ExtractEntry(nullptr, 0, out_), SfxResult::BadDirectory) << "no entry after a failed read";
}

TEST_F(SfxArchiveTest, AnArchiveCutAnywhereWritesNothing) {
    std::vector<SfxEntry> entries;
    const std::string body = LayOut(kImage, kFiles, &entries);
    const std::string good = WithDirectory(body, entries);
    for (size_t cut = 0; cut < good.size(); ++cut) {
        ASSERT_EQ(sfx_.ExtractAll(Archive(good.substr(0, cut)), out_, nullptr, nullptr), SfxResult::NoTrailer) << cut;
        // Cut inside the directory, with the count and the magic put back behind what is left.
        if (cut >= body.size() && cut < good.size() - kSfxTrailerSize) {
            const std::string patched = good.substr(0, cut) + Trailer(static_cast<uint32_t>(kFiles.size()));
            EXPECT_EQ(sfx_.ExtractAll(Archive(patched), out_, nullptr, nullptr), SfxResult::BadDirectory) << cut;
        }
    }
    EXPECT_TRUE(NamesIn(out_).empty());
}

TEST_F(SfxArchiveTest, ACopyThatCannotReadRemovesItsOutput) {
    ASSERT_EQ(sfx_.ReadDirectory(Archive(kFiles)), SfxResult::Ok);
    // A stream open for writing only fails every read, as a failing disk would.
    SfxFile write_only(std::fopen(archive_.c_str(), "ab"));
    ASSERT_TRUE(write_only);
    EXPECT_EQ(sfx_.ExtractEntry(write_only.get(), 0, out_ + "/"), SfxResult::ReadFailed);
    EXPECT_EQ(sfx_.failed_path(), out_ + "/INSTALLER.exe");
    EXPECT_TRUE(NamesIn(out_).empty());
}

struct Shrink {
    std::string archive;
    uintmax_t to;
};

TEST_F(SfxArchiveTest, AnArchiveThatShrinksUnderTheCopyEndsIt) {
    const std::vector<StoredFile> files = {{"first", "1"}, {"big", std::string(3000, 'b')}, {"last", "3"}};
    std::vector<SfxEntry> entries;
    Archive(WithDirectory(LayOut(kImage, files, &entries), entries));
    Shrink shrink{archive_, entries[1].offset + uintmax_t{1500}};
    const auto truncate = [](const SfxEntry&, void* context) {
        const auto* s = static_cast<Shrink*>(context);
        std::filesystem::resize_file(s->archive, s->to);
    };
    EXPECT_EQ(sfx_.ExtractAll(archive_, out_, truncate, &shrink), SfxResult::SourceEnded);
    EXPECT_EQ(sfx_.failed_path(), out_ + "/big");
    EXPECT_EQ(NamesIn(out_), std::set<std::string>{"last"}) << "no short file, and nothing after it";
}

class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        previous_handler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limited = previous_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previous_handler_);
    }

  private:
    rlimit previous_{};
    void (*previous_handler_)(int);
};

TEST_F(SfxArchiveTest, AFullDiskStopsTheExtractionAndNamesTheFile) {
    // Writes past 100,000 bytes fail with EFBIG, as they would with ENOSPC on a full disk: for the larger file while
    // it is copied, for the smaller one only when its last buffered bytes are flushed at closing.
    for (const size_t big : {300000, 100500}) {
        TempDir out;
        Archive({{"first", "1"}, {"big", std::string(big, 'b')}, {"last", "3"}});
        SfxResult result;
        {
            FileSizeLimit limit(100000);
            result = sfx_.ExtractAll(archive_, out.path(), nullptr, nullptr);
        }
        EXPECT_EQ(result, SfxResult::WriteFailed) << big;
        EXPECT_EQ(sfx_.failed_path(), out / "big");
        EXPECT_EQ(NamesIn(out.path()), std::set<std::string>{"last"});
    }
}

}  // namespace
