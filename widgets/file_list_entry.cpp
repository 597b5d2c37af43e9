#include "widgets/file_list_entry.h"

std::string SizeColumnText(uint64_t bytes) {
    return std::to_string(bytes / 1024);
}

std::string DateColumnText(const CalendarTime& time) {
    return std::to_string(time.day) + "/" + std::to_string(time.month) + "/" + std::to_string(time.year);
}

std::string TimeColumnText(const CalendarTime& time) {
    return std::to_string(time.hour) + ":" + std::to_string(time.minute) + ":" + std::to_string(time.second);
}
