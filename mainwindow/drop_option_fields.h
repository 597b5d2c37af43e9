#pragma once

#include <string>

#include "widgets/drop_options.h"

// The main dialog's hidden drop-option controls (check boxes 1003-1006, radio buttons 1007/1008, edit 1002), as
// read from them. The initial values are what the controls show at start-up.
struct DropOptionFields {
    bool acceptFiles = true;
    bool acceptFolders = true;
    bool allowDuplicates = false;
    bool useCallback = false;
    int filterMode = 0;  // 0: all files; 1: by extension
    std::string filterExtension = ".txt";
};

// The list's drop options once the fields are applied to `current`: each field sets or clears its bit; the
// callback comes and goes with `useCallback`; the extension is only taken when filtering by it, and stays as it was
// otherwise.
DropOptions MergeDropOptions(DropOptions current, const DropOptionFields& fields, InsertCallback callback);
