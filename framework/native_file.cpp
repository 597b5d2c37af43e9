#include "framework/native_file.h"

CreateOutcome CreateFileBeside(const std::string& path,
                               NativeFile* file,
                               std::string* temporary_path,
                               std::string* error) {
    // Names left behind by a run that died, or planted by someone else, are skipped: creation is exclusive.
    constexpr unsigned kAttempts = 100;
    for (unsigned attempt = 0; attempt < kAttempts; ++attempt) {
        *temporary_path = path + ".tmp" + std::to_string(attempt);
        const CreateOutcome outcome = CreateNewFile(*temporary_path, file, error);
        if (outcome != CreateOutcome::Taken)
            return outcome;
    }
    *error = "no free name for a temporary file";
    return CreateOutcome::Failed;
}
