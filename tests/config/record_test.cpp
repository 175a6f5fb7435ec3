// From file bytes to the record: refusals, the copy, and texts without a terminator.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "TestRecord.h"
#include "config/ConfigCipher.h"
#include "config/ConfigEncipher.h"
#include "config/ConfigFile.h"

namespace {

using korvex::ConfigFileError;

std::vector<std::uint8_t> Encipher(const SysCtrlConfig& record, std::size_t paddingBlocks = 0,
                                   std::size_t trailing = 0) {
    std::vector<std::uint8_t> plain(sizeof record + trailing, 0x77);
    std::memcpy(plain.data(), &record, sizeof record);
    korvex::CipherChoices choices{{0xA1, 0xB2, 0xC3, 0xD4}, {9, 8, 7}, {}};
    choices.padding.assign(8 * paddingBlocks, 0x99);
    return korvex::EncipherConfig(plain.data(), plain.size(), choices, korvex::BuildConfigKey());
}

bool SameBytes(const SysCtrlConfig& a, const SysCtrlConfig& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(ReadConfigRecord, KnownRecordRoundTrips) {
    const SysCtrlConfig known = korvex::testing::KnownRecord();
    for (const auto& file : {Encipher(known), korvex::EncipherRecord(known)}) {
        SysCtrlConfig record{};
        const auto result = korvex::ReadConfigRecord(file.data(), file.size(), record);
        ASSERT_TRUE(result) << korvex::DescribeConfigFileResult(result);
        EXPECT_TRUE(SameBytes(record, known));
    }
}

TEST(ReadConfigRecord, ExactlyOneRecordFillsIt) {
    const SysCtrlConfig known = korvex::testing::KnownRecord();
    const auto file = Encipher(known);
    ASSERT_EQ(file.size(), 3120u);
    SysCtrlConfig record{};
    const auto result = korvex::ReadConfigRecord(file.data(), file.size(), record);
    EXPECT_TRUE(result);
    EXPECT_EQ(result.plaintext, 3112u);
}

TEST(ReadConfigRecord, TrailingPlaintextIsIgnored) {
    const SysCtrlConfig known = korvex::testing::KnownRecord();
    const auto file = Encipher(known, 2, 40);
    SysCtrlConfig record{};
    const auto result = korvex::ReadConfigRecord(file.data(), file.size(), record);
    ASSERT_TRUE(result);
    EXPECT_EQ(result.plaintext, 3152u);
    EXPECT_TRUE(SameBytes(record, known));
}

struct DamageCase {
    const char* name;
    std::size_t keep;           // bytes of a good 3120-byte file that remain (0: all)
    std::size_t paddingBlocks;  // padding claimed by a file of 3112 + 8 * paddingBlocks data bytes
    std::size_t dropBlocks;     // data blocks then cut off the end
    ConfigFileError error;
    const char* words;  // in the description
};

class DamagedFile : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedFile, IsRefusedAndTheRecordStaysAsItWas) {
    const DamageCase& c = GetParam();
    auto file = Encipher(korvex::testing::KnownRecord(), c.paddingBlocks);
    if (c.keep) file.resize(c.keep);
    file.resize(file.size() - 8 * c.dropBlocks);

    SysCtrlConfig record{};
    std::memset(&record, 0x3C, sizeof record);
    SysCtrlConfig before = record;
    const auto result = korvex::ReadConfigRecord(file.data(), file.size(), record);
    EXPECT_EQ(result.error, c.error);
    EXPECT_TRUE(SameBytes(record, before));
    EXPECT_NE(korvex::DescribeConfigFileResult(result).find(c.words), std::string::npos)
        << korvex::DescribeConfigFileResult(result);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedFile,
    ::testing::Values(
        DamageCase{"empty", 8, 0, 1, ConfigFileError::TooShort, "0 bytes"},
        DamageCase{"header_only", 8, 0, 0, ConfigFileError::TooShort, "8 bytes"},
        DamageCase{"one_block_short", 3112, 0, 0, ConfigFileError::TooShort, "3112 bytes"},
        DamageCase{"odd_length", 3119, 0, 0, ConfigFileError::NotBlocks, "not a whole number"},
        DamageCase{"cut_inside_a_block", 3124, 1, 0, ConfigFileError::NotBlocks, "3124"},
        DamageCase{"padding_eats_the_record", 0, 1, 1, ConfigFileError::PlaintextTooShort,
                   "3104 plaintext bytes"},
        DamageCase{"long_padding_after_cut", 0, 31, 30, ConfigFileError::PlaintextTooShort,
                   "2872 plaintext bytes"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadConfigRecord, UnterminatedTextsAreCutAt299) {
    SysCtrlConfig full = korvex::testing::KnownRecord();
    std::fill(std::begin(full.szOfficialUrl), std::end(full.szOfficialUrl), u'x');
    const auto file = Encipher(full);
    SysCtrlConfig record{};
    ASSERT_TRUE(korvex::ReadConfigRecord(file.data(), file.size(), record));
    EXPECT_EQ(record.szOfficialUrl[299], 0);
    EXPECT_EQ(std::u16string(record.szOfficialUrl), std::u16string(299, u'x'));
    EXPECT_EQ(korvex::ConfigText(full.szOfficialUrl).size(), 299u);
    // Terminated texts are not changed.
    EXPECT_EQ(std::memcmp(record.szForumUrl, full.szForumUrl, sizeof full.szForumUrl), 0);
    EXPECT_EQ(korvex::ConfigText(record.szLoginUrl), std::u16string_view(full.szLoginUrl));
}

TEST(ConfigText, StopsAtTheFirstNul) {
    SysCtrlConfig r{};
    korvex::testing::SetText(r.szLoginUrl, u"abc");
    r.szLoginUrl[10] = u'z';
    EXPECT_EQ(korvex::ConfigText(r.szLoginUrl), u"abc");
    EXPECT_TRUE(korvex::ConfigText(r.szServiceUrl).empty());
}

}  // namespace
