#include <gtest/gtest.h>

#include <random>

#include "recovery/settings_record.h"

namespace {

TEST(SettingsRecord, DefaultFileRecordHasItsExactBytes) {
    const SettingsBytes file = DefaultFileRecordBytes();
    const SettingsBytes plain = DefaultRecordBytes();
    for (size_t i = 0; i < kSettingsRecordSize; ++i) {
        uint8_t expected = 0;
        if (i < 3)
            expected = static_cast<uint8_t>("REC"[i]);
        else if (i == 204 || i == 212 || i == 216)
            expected = 1;
        EXPECT_EQ(plain[i], expected) << "default record, byte " << i;
        EXPECT_EQ(file[i], i >= 5 && i <= 203 ? 'a' : expected) << "default file record, byte " << i;
    }
    EXPECT_EQ(CheckValueOf(file), 0);

    const SettingsRecord fields = DecodeSettings(file);
    EXPECT_EQ(fields.suffix, "REC");
    EXPECT_EQ(fields.outputFolder, "");
    EXPECT_EQ(fields.reservedFlag, 1);
    EXPECT_EQ(fields.deleteSource, 0);
    EXPECT_EQ(fields.textFormat, 1);
    EXPECT_EQ(fields.language, 1);
    EXPECT_EQ(fields.installFolder, "");
}

TEST(SettingsRecord, DecodingAndEncodingAgainChangesNoByte) {
    std::mt19937 random(7);
    for (int n = 0; n < 500; ++n) {
        SettingsBytes bytes;
        // Sparse zeros make text fields of every length, with and without a terminating zero.
        for (uint8_t& byte : bytes)
            byte = random() % 8 == 0 ? 0 : static_cast<uint8_t>(random());
        SettingsBytes again = bytes;
        EncodeSettings(DecodeSettings(bytes), &again);
        ASSERT_EQ(again, bytes) << "case " << n;
    }
}

TEST(SettingsRecord, TextWithoutTerminatingZeroStopsAtItsField) {
    SettingsBytes bytes{};
    std::fill(bytes.begin(), bytes.end(), uint8_t{'x'});
    bytes[kLanguageField.offset] = 0;
    const SettingsRecord fields = DecodeSettings(bytes);
    EXPECT_EQ(fields.suffix, "xxxx");
    EXPECT_EQ(fields.outputFolder, std::string(200, 'x'));
    EXPECT_EQ(fields.installFolder, std::string(203, 'x'));
    EXPECT_EQ(fields.reservedFlag, 0x78787878);
}

TEST(SettingsRecord, EncodingOneFieldTouchesOnlyThatField) {
    const SettingsBytes original = DefaultFileRecordBytes();
    SettingsBytes changed = original;
    SettingsRecord fields = DecodeSettings(changed);
    fields.language = 4;
    fields.suffix = "XY";
    fields.deleteSource = -2;
    EncodeSettings(fields, &changed);
    for (size_t i = 0; i < kSettingsRecordSize; ++i) {
        if (i == 216)
            EXPECT_EQ(changed[i], 4);
        else if (i == 0 || i == 1 || i == 2)
            EXPECT_EQ(changed[i], static_cast<uint8_t>("XY"[i]));  // "XY" and its terminating zero
        else if (i >= 208 && i < 212)
            EXPECT_EQ(changed[i], 0xFE + (i == 208 ? 0 : 1));
        else
            EXPECT_EQ(changed[i], original[i]) << "byte " << i;
    }
}

TEST(SettingsRecord, CheckValuesOfFilesOfEveryLength) {
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
        std::optional<int32_t> computed;
        int32_t stored;
    };
    auto file = [](size_t size, size_t at, std::vector<uint8_t> bytes) {
        std::vector<uint8_t> content(size, 0x20);
        std::copy(bytes.begin(), bytes.end(), content.begin() + static_cast<long>(at));
        return content;
    };
    const std::vector<Case> cases = {
        {"empty file", {}, std::nullopt, 0},
        {"one byte", {0xC8}, -56, 0},
        {"420 bytes ending in zero", file(420, 419, {0x00}), 0, 0},
        {"420 bytes ending in 7", file(420, 419, {0x07}), 7, 0},
        {"422 bytes, half a stored value", file(422, 419, {0x07, 0x07, 0x01}), 7, 0x0107},
        {"424 bytes, -56 stored", file(424, 419, {0xC8, 0xC8, 0xFF, 0xFF, 0xFF}), -56, -56},
        {"longer file: bytes past 423 do not count", file(430, 419, {0x01, 0x01, 0, 0, 0, 9}), 1, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ComputeCheckValue(c.file.data(), c.file.size()), c.computed) << c.what;
        EXPECT_EQ(StoredCheckValue(c.file.data(), c.file.size()), c.stored) << c.what;
    }
}

TEST(SettingsRecord, FileBytesCarryTheCheckValueLittleEndian) {
    SettingsBytes record = DefaultFileRecordBytes();
    record.back() = 0xC8;
    const auto file = SettingsFileBytes(record, CheckValueOf(record));
    EXPECT_TRUE(std::equal(record.begin(), record.end(), file.begin()));
    EXPECT_EQ(file[420], 0xC8);
    EXPECT_EQ(file[421], 0xFF);
    EXPECT_EQ(file[422], 0xFF);
    EXPECT_EQ(file[423], 0xFF);
}

}  // namespace
