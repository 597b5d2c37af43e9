#include "tests/support/carve_comparison.h"

#include <map>
#include <set>

#include "recovery/image_carver.h"
#include "tests/support/fake_platform.h"
#include "tests/support/literal_carver.h"
#include "tests/support/memory_file_system.h"

namespace {

struct Outcome {
    CarveResult result;
    std::map<std::string, Bytes> files;
    std::set<std::string> folders;
    std::vector<std::string> messages;
};

const std::string kSource = "C:\\in\\source.psd";
const std::string kFolder = "C:\\out\\sourceREC";

MemoryFileSystem Prepared(const CarveConditions& conditions) {
    MemoryFileSystem files;
    files.write_limit = conditions.write_limit;
    for (const std::string& name : conditions.taken_names)
        files.files[kFolder + "\\" + name] = {'o', 'l', 'd'};
    return files;
}

Outcome FastCarve(const Bytes& source, const CarveConditions& conditions, FilterPath path) {
    MemoryFileSystem files = Prepared(conditions);
    files.files[kSource] = source;
    if (conditions.read_error_at)
        files.read_error_at[kSource] = *conditions.read_error_at;
    FakePlatform platform;
    const CarveResult result = ImageCarver(files, platform, nullptr, path).Carve(kSource, kFolder, LanguageId::French);
    files.files.erase(kSource);
    return {result, files.files, files.folders, platform.Texts()};
}

Outcome LiteralCarveOf(const Bytes& source, const CarveConditions& conditions) {
    MemoryFileSystem files = Prepared(conditions);
    MemoryLiteralSource literal_source(source, conditions.read_error_at);
    FakePlatform platform;
    const CarveResult result = LiteralCarve(literal_source, files, platform, kFolder, LanguageId::French);
    return {result, files.files, files.folders, platform.Texts()};
}

std::string Describe(const CarveResult& r) {
    return "count " + std::to_string(r.imageCount) + ", folder '" + r.imageFolder + "', aborted " +
           std::to_string(r.aborted) + ", failed " + std::to_string(r.failed) + ", compound " +
           std::to_string(r.compoundFile);
}

}  // namespace

std::string CompareCarvers(const Bytes& source, const CarveConditions& conditions, FilterPath path) {
    const Outcome fast = FastCarve(source, conditions, path);
    const Outcome literal = LiteralCarveOf(source, conditions);
    if (Describe(fast.result) != Describe(literal.result))
        return "result: " + Describe(fast.result) + " instead of " + Describe(literal.result);
    if (fast.folders != literal.folders)
        return "folders differ";
    if (fast.messages != literal.messages)
        return std::to_string(fast.messages.size()) + " messages instead of " + std::to_string(literal.messages.size());
    for (const auto& [name, bytes] : literal.files) {
        const auto fast_file = fast.files.find(name);
        if (fast_file == fast.files.end())
            return name + " missing";
        if (fast_file->second != bytes)
            return name + ": " + std::to_string(fast_file->second.size()) + " bytes instead of " +
                   std::to_string(bytes.size()) + (fast_file->second.size() == bytes.size() ? ", other bytes" : "");
    }
    if (fast.files.size() != literal.files.size())
        return std::to_string(fast.files.size()) + " files instead of " + std::to_string(literal.files.size());
    return "";
}

std::vector<FilterPath> FilterPathsToTest() {
    std::vector<FilterPath> paths;
    for (const FilterPath path : {FilterPath::Portable, FilterPath::Sse2, FilterPath::Avx2}) {
        if (CandidateFilter::Available(path))
            paths.push_back(path);
    }
    return paths;
}
