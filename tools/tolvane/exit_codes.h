#pragma once

// Exit codes of the tolvane tool.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNameTaken = 3;

// The status of a run over several files: a failure outweighs a taken name, which outweighs success.
constexpr int WorseExit(int a, int b) {
    if (a == kExitFailed || b == kExitFailed)
        return kExitFailed;
    return a == kExitNameTaken || b == kExitNameTaken ? kExitNameTaken : kExitOk;
}
