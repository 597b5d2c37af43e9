#pragma once

#include <cstdint>
#include <string>

// A moment split into calendar fields, in UTC (the list shows last-write times without converting them).
struct CalendarTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// One row of the file list; every cell is text.
struct FileListEntry {
    std::string path;
    std::string size;  // whole kilobytes
    std::string date;  // day/month/year, no leading zeros
    std::string time;  // hour:minute:second, no leading zeros
};

// Bytes / 1024, remainder dropped. Counted in 64 bits, so files of 2 GB and more show their true size.
std::string SizeColumnText(uint64_t bytes);
// "5/3/2004" for the 5th of March 2004.
std::string DateColumnText(const CalendarTime& time);
// "9:7:3" for 09:07:03.
std::string TimeColumnText(const CalendarTime& time);
