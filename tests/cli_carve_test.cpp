// tolvane scan and recover --report, on the sample, on sources past 4 GiB and on a block device: what the reports
// say is read back with a JSON parser and checked against what recover put on the disk, byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "tests/support/tool_runner.h"

namespace {

struct Picture {
    std::string file;  // the file name alone
    std::string kind;
    uint64_t offset;
    uint64_t length;
    std::string end;
    std::string path;  // as the report has it
};

struct Report {
    std::vector<std::string> sources;  // of the pictures, in order
    std::vector<Picture> pictures;
    std::vector<std::string> summaries;  // source, images, aborted, failed, compound_file, bytes_scanned
};

std::string FromHex(const std::string& hex) {
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '\t');)
        fields.push_back(field);
    return fields;
}

// The report at `path`, through Python's JSON parser; a report it refuses fails the test.
Report ReadReport(const std::string& path) {
    const std::string lines = path + ".lines";
    const std::string command = "python3 " + Quoted(TOLVANE_REPORT_LINES) + " " + Quoted(path) + " >" + Quoted(lines);
    EXPECT_EQ(std::system(command.c_str()), 0) << ReadText(path);
    Report report;
    std::istringstream in(ReadText(lines));
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> f = Fields(line);
        if (f[0] == "image" && f.size() == 7) {
            const std::string file = FromHex(f[2]);
            report.sources.push_back(FromHex(f[1]));
            report.pictures.push_back(
                {file.substr(file.find_last_of('/') + 1), f[3], std::stoull(f[4]), std::stoull(f[5]), f[6], file});
        } else if (f[0] == "summary" && f.size() == 7) {
            report.summaries.push_back(FromHex(f[1]) + " " + f[2] + " " + f[3] + " " + f[4] + " " + f[5] + " " + f[6]);
        } else {
            ADD_FAILURE() << "odd line: " << line;
        }
    }
    return report;
}

void ExpectSamePictures(const Report& scanned, const Report& recovered) {
    ASSERT_EQ(scanned.pictures.size(), recovered.pictures.size());
    for (size_t i = 0; i < scanned.pictures.size(); ++i) {
        const Picture& s = scanned.pictures[i];
        const Picture& r = recovered.pictures[i];
        EXPECT_EQ(s.file + s.kind + s.end, r.file + r.kind + r.end);
        EXPECT_EQ(s.offset, r.offset) << s.file;
        EXPECT_EQ(s.length, r.length) << s.file;
    }
    EXPECT_EQ(scanned.summaries, recovered.summaries);
    EXPECT_EQ(scanned.sources, recovered.sources);
}

// Each picture of the report is on the disk with the length it says, holding the source's bytes from its offset.
// Relative paths are taken from `folder`, where the tool ran.
void ExpectOnDisk(const Report& report, const std::string& source, const std::string& folder) {
    std::ifstream in(source, std::ios::binary);
    for (const Picture& picture : report.pictures) {
        std::string expected(picture.length, '\0');
        in.seekg(static_cast<std::streamoff>(picture.offset));
        in.read(expected.data(), static_cast<std::streamsize>(picture.length));
        const std::string on_disk = ReadText(picture.path[0] == '/' ? picture.path : folder + "/" + picture.path);
        EXPECT_TRUE(on_disk == expected) << picture.path << ": " << on_disk.size() << " bytes on the disk, "
                                         << expected.size() << " from offset " << picture.offset << " meant";
    }
}

// The scan listing has a line for each picture of the report: name, offset, length, end.
void ExpectListed(const std::string& listing, const Report& report) {
    for (const Picture& p : report.pictures) {
        std::ostringstream line;
        line << p.file << " offset " << p.offset << " length " << p.length << " " << p.end << "\n";
        std::string squeezed;
        for (const char c : listing)
            squeezed += c == ' ' && (squeezed.empty() || squeezed.back() == ' ' || squeezed.back() == '\n')
                            ? ""
                            : std::string(1, c);
        EXPECT_NE(squeezed.find(line.str()), std::string::npos) << line.str() << " in\n" << listing;
    }
}

TEST_F(CliTest, ScanListsWhatRecoverWritesAndTheReportsSayTheSame) {
    // A name a JSON writer can get wrong: quote, backslash, line break, a byte that is not UTF-8, and UTF-8.
    const std::string name = "we\"ird\\ \n\xFF caf\xC3\xA9.psd";
    std::string bytes = ReadText(TOLVANE_SAMPLE);
    bytes += std::string("\xFF\xD8\xFF\xE0\x00", 5) + std::string(3000, '\x11');  // runs to the end of the source
    std::ofstream(dir_ / name, std::ios::binary) << bytes;

    const ToolRun scan = Tool({"scan", "--report", "scan.jsonl", name});
    EXPECT_EQ(scan.exit_code, 0) << scan.err;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 4) << "scan wrote only its report";
    const ToolRun recover = Tool({"recover", "-o", "out", "--report", "recover.jsonl", name});
    EXPECT_EQ(recover.exit_code, 0) << recover.err;

    const Report scanned = ReadReport(dir_ / "scan.jsonl");
    const Report recovered = ReadReport(dir_ / "recover.jsonl");
    ASSERT_EQ(recovered.pictures.size(), 4u);
    EXPECT_EQ(recovered.pictures[3].file + " " + recovered.pictures[3].end, "3.jpg source-end");
    EXPECT_EQ(recovered.sources[0], name);
    EXPECT_EQ(recovered.summaries,
              std::vector<std::string>{name + " 4 false false false " + std::to_string(bytes.size())});
    ExpectSamePictures(scanned, recovered);
    ExpectOnDisk(recovered, dir_ / name, dir_.path());
    ExpectListed(scan.out, scanned);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_ / "out"), {}), 4);

    // A full disk: the report tells what is on it, and that the carve failed. A report is never written over a file.
    const ToolRun full = Tool({"recover", "-o", "cut", "--report", "cut.jsonl", TOLVANE_SAMPLE}, FileSizeLimit(16));
    EXPECT_EQ(full.exit_code, 1);
    const Report cut = ReadReport(dir_ / "cut.jsonl");
    ASSERT_EQ(cut.pictures.size(), 2u);
    EXPECT_EQ(cut.pictures[1].file + " " + cut.pictures[1].end, "2.jpg failed");
    EXPECT_EQ(cut.pictures[1].length, 8192u);
    ExpectOnDisk(cut, TOLVANE_SAMPLE, dir_.path());
    const std::string report_before = Read("cut.jsonl");
    const ToolRun again = Tool({"scan", "--report", "cut.jsonl", TOLVANE_SAMPLE});
    EXPECT_EQ(again.exit_code, 2);
    EXPECT_NE(again.err.find("cut.jsonl: exists already"), std::string::npos) << again.err;
    EXPECT_EQ(Read("cut.jsonl"), report_before);
}

TEST_F(CliTest, ShortOptionsAreTheLongOnes) {
    const ToolRun quiet = Tool({"recover", "-q", "-opictures", TOLVANE_SAMPLE});
    EXPECT_EQ(quiet.exit_code, 0) << quiet.err;
    EXPECT_EQ(quiet.out, "( 3 )image(s) recovered stored in directory pictures!\n");
    EXPECT_TRUE(std::filesystem::exists(dir_ / "pictures/1.gif"));
    EXPECT_EQ(Tool({"scan", "-q", TOLVANE_SAMPLE}).out, std::string(TOLVANE_SAMPLE) + ": 3 pictures, " +
                                                            std::to_string(ReadText(TOLVANE_SAMPLE).size()) +
                                                            " bytes scanned\n");
    EXPECT_EQ(Tool({"-V"}).out, Tool({"--version"}).out);
    EXPECT_EQ(Tool({"-h"}).out, Tool({"recover", "--help"}).out);
    const ToolRun refused = Tool({"scan", "-o", "x", TOLVANE_SAMPLE});
    EXPECT_EQ(refused.exit_code, 2);
    EXPECT_NE(refused.err.find("unknown option '-o' for scan"), std::string::npos) << refused.err;
}

// A sparse source costs no disk, and on tmpfs no time either: its holes are read from one page of zeros, where ext4
// first fills the page cache with them (20 s for 6 GiB on the development machine).
std::string SparseFolder() {
    std::error_code ignored;
    return std::filesystem::is_directory("/dev/shm", ignored) ? "/dev/shm" : std::filesystem::temp_directory_path();
}

void MakeSparse(const std::string& path, uint64_t size) {
    std::ofstream(path).close();
    std::filesystem::resize_file(path, size);
}

void WriteAt(const std::string& path, uint64_t offset, const std::string& bytes) {
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(static_cast<std::streamoff>(offset));
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The sample's pictures lie at these offsets in it.
const std::vector<uint64_t> kSampleOffsets = {102, 24276, 38042};

std::vector<uint64_t> Offsets(const Report& report) {
    std::vector<uint64_t> offsets;
    for (const Picture& picture : report.pictures)
        offsets.push_back(picture.offset);
    return offsets;
}

TEST_F(CliTest, SourcesPastFourGibibytes) {
    constexpr uint64_t kGiB = uint64_t{1} << 30;
    const TempDir sparse(SparseFolder());
    const std::string source = sparse / "disk.img";
    MakeSparse(source, 6 * kGiB);
    const std::string sample = ReadText(TOLVANE_SAMPLE);
    // Two copies of the sample; the pictures of the first lie just past 4 GiB.
    const std::vector<uint64_t> at = {4 * kGiB - 100, 5 * kGiB + 12345};
    for (const uint64_t offset : at)
        WriteAt(source, offset, sample);
    std::vector<uint64_t> expected;
    for (const uint64_t base : at) {
        for (const uint64_t offset : kSampleOffsets)
            expected.push_back(base + offset);
    }

    // On a terminal the scan shows its progress; `script` gives it one.
    const std::string scan = Quoted(TOLVANE_TOOL) + " scan --report scan.jsonl " + Quoted(source);
    const std::string in_terminal = "cd " + Quoted(dir_.path()) + " && timeout 120 script -qec " + Quoted(scan) +
                                    " /dev/null >terminal.txt 2>&1 </dev/null";
    EXPECT_EQ(std::system(in_terminal.c_str()), 0) << Read("terminal.txt");
    EXPECT_NE(Read("terminal.txt").find(" of 6.0 GiB ("), std::string::npos) << Read("terminal.txt");
    const ToolRun recover = Tool({"recover", "-o", "out", "--report", "recover.jsonl", source}, "", "", 120);
    EXPECT_EQ(recover.exit_code, 0) << recover.err;
    EXPECT_EQ(recover.err, "") << "no progress line without a terminal";

    const Report scanned = ReadReport(dir_ / "scan.jsonl");
    const Report recovered = ReadReport(dir_ / "recover.jsonl");
    EXPECT_EQ(Offsets(recovered), expected);
    EXPECT_EQ(recovered.summaries,
              std::vector<std::string>{source + " 6 false false false " + std::to_string(6 * kGiB)});
    ExpectSamePictures(scanned, recovered);
    ExpectOnDisk(recovered, source, dir_.path());
}

// Removes the loop device at the end of the test, whatever happens.
class LoopDevice {
  public:
    explicit LoopDevice(const std::string& backing_file) {
        const std::string listed = backing_file + ".device";
        const std::string command =
            "losetup --find --show --read-only " + Quoted(backing_file) + " >" + Quoted(listed) + " 2>&1";
        const bool made = std::system(command.c_str()) == 0;
        std::string output = ReadText(listed);
        output = output.substr(0, output.find('\n'));
        (made ? path_ : problem_) = output;
    }
    ~LoopDevice() {
        if (!path_.empty())
            std::system(("losetup --detach " + Quoted(path_)).c_str());
    }
    const std::string& path() const { return path_; }
    const std::string& problem() const { return problem_; }

  private:
    std::string path_;
    std::string problem_;
};

TEST_F(CliTest, BlockDevice) {
    const std::string backing = dir_ / "device.img";
    MakeSparse(backing, 3 << 20);
    WriteAt(backing, (1 << 20) + 7, ReadText(TOLVANE_SAMPLE));
    const LoopDevice device(backing);
    if (device.path().empty())
        GTEST_SKIP() << "no loop device could be made here (that needs root and /dev/loop-control): "
                     << device.problem();

    const ToolRun recover = Tool({"recover", "-o", "out", "--report", "device.jsonl", device.path()});
    EXPECT_EQ(recover.exit_code, 0) << recover.err;
    const Report report = ReadReport(dir_ / "device.jsonl");
    std::vector<uint64_t> expected;
    for (const uint64_t offset : kSampleOffsets)
        expected.push_back((1 << 20) + 7 + offset);
    EXPECT_EQ(Offsets(report), expected);
    EXPECT_EQ(report.summaries,
              std::vector<std::string>{device.path() + " 3 false false false " + std::to_string(3 << 20)});
    ExpectOnDisk(report, backing, dir_.path());
}

}  // namespace
