#include "mainwindow/drop_option_fields.h"

namespace {

void SetBit(uint32_t* flags, uint32_t bit, bool on) {
    *flags = on ? (*flags | bit) : (*flags & ~bit);
}

}  // namespace

DropOptions MergeDropOptions(DropOptions current, const DropOptionFields& fields, InsertCallback callback) {
    SetBit(&current.flags, AcceptFolders, fields.acceptFolders);
    SetBit(&current.flags, AcceptFiles, fields.acceptFiles);
    SetBit(&current.flags, UseCallback, fields.useCallback);
    current.insertCallback = fields.useCallback ? callback : nullptr;
    SetBit(&current.flags, AllowDuplicates, fields.allowDuplicates);
    SetBit(&current.flags, FilterByExtension, fields.filterMode == 1);
    if (fields.filterMode == 1)
        current.extension = fields.filterExtension;
    return current;
}
