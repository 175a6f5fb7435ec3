// The sysctrl program, run as operators run it: exit codes, messages, files left behind.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace fs = std::filesystem;
extern char** environ;

namespace {

struct CliRun {
    int exitCode = -1;
    std::string out, err;
};

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class SysCtrl : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "sysctrl-test.XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    // Runs sysctrl with the arguments; its output goes through files in the scratch folder.
    CliRun Sysctrl(std::vector<std::string> args) {
        args.insert(args.begin(), SYSCTRL_EXE);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        const std::string outFile = (dir_ / ".stdout").string();
        const std::string errFile = (dir_ / ".stderr").string();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        pid_t pid = 0;
        CliRun run;
        if (posix_spawn(&pid, SYSCTRL_EXE, &actions, nullptr, argv.data(), environ) == 0) {
            int status = 0;
            waitpid(pid, &status, 0);
            run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        posix_spawn_file_actions_destroy(&actions);
        run.out = ReadText(outFile);
        run.err = ReadText(errFile);
        fs::remove(outFile);
        fs::remove(errFile);
        return run;
    }

    // Every file of the scratch folder.
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path dir_;
};

const fs::path kDemo = fs::path(KORVEX_SOURCE_DIR) / "demo";

nlohmann::json DemoJson() { return nlohmann::json::parse(ReadText(kDemo / "sysctrl.json")); }

TEST_F(SysCtrl, CommittedDemoFileDecodesToTheDemoJson) {
    const CliRun run = Sysctrl({"decode", (kDemo / "sysctrl.dat").string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(nlohmann::json::parse(run.out), DemoJson());
    EXPECT_TRUE(run.err.empty());
}

TEST_F(SysCtrl, DecodeListsExactlyTheMembersInRecordOrder) {
    const CliRun run = Sysctrl({"decode", (kDemo / "sysctrl.dat").string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto out = nlohmann::ordered_json::parse(run.out);
    std::vector<std::string> names;
    for (const auto& item : out.items()) names.push_back(item.key());
    EXPECT_EQ(names,
              (std::vector<std::string>{
                  "rcOfficialBtn", "rcRechargeBtn", "rcServiceBtn", "rcForumBtn", "rcMinimizeBtn",
                  "rcCloseBtn", "nBrowserLeft", "nBrowserTop", "nBrowserWidth", "nBrowserHeight",
                  "szLoginUrl", "szOfficialUrl", "szRechargeUrl", "szServiceUrl", "szForumUrl"}));
}

TEST_F(SysCtrl, EncodeThenDecodeGivesTheSameObjectWithFreshBytesEachTime) {
    nlohmann::json config = DemoJson();
    config["szLoginUrl"] = "http://127.0.0.1:47110/登录.html?游戏=\U0001F3AE";
    config["rcCloseBtn"] = {-2147483648LL, 0, 2147483647LL, -1};
    config["szForumUrl"] = std::string(299, 'f');
    WriteText(dir_ / "in.json", config.dump());

    const CliRun first =
        Sysctrl({"encode", (dir_ / "in.json").string(), (dir_ / "a.dat").string()});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    const CliRun second =
        Sysctrl({"encode", (dir_ / "in.json").string(), (dir_ / "b.dat").string()});
    ASSERT_EQ(second.exitCode, 0) << second.err;
    EXPECT_NE(ReadText(dir_ / "a.dat"), ReadText(dir_ / "b.dat"));
    EXPECT_EQ(Files(), (std::vector<std::string>{"a.dat", "b.dat", "in.json"}));

    for (const char* name : {"a.dat", "b.dat"}) {
        const std::string bytes = ReadText(dir_ / name);
        EXPECT_GE(bytes.size(), 3120u);
        EXPECT_EQ(bytes.size() % 8, 0u);
        const CliRun run = Sysctrl({"decode", (dir_ / name).string()});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(nlohmann::json::parse(run.out), config);
    }
}

TEST_F(SysCtrl, HelpExplainsBothVerbsAndEveryMember) {
    const CliRun run = Sysctrl({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    const nlohmann::json demo = DemoJson();
    for (const auto& item : demo.items())
        EXPECT_NE(run.out.find(item.key()), std::string::npos) << item.key();
    EXPECT_NE(run.out.find("decode FILE.dat"), std::string::npos);
    EXPECT_NE(run.out.find("encode CONFIG.json OUT.dat"), std::string::npos);
}

struct BadJson {
    const char* name;
    std::string json;  // the whole input; see the table
    const char* message;
};

// The demo object with one member replaced (value given) or removed (value empty).
std::string DemoWith(const std::string& member, const std::string& value) {
    nlohmann::json config = DemoJson();
    if (value.empty())
        config.erase(member);
    else
        config[member] = nlohmann::json::parse(value);
    return config.dump();
}

class SysCtrlBadJson : public SysCtrl, public ::testing::WithParamInterface<BadJson> {};

TEST_P(SysCtrlBadJson, IsRefusedWithAClearMessageAndNoOutputFile) {
    const BadJson& c = GetParam();
    WriteText(dir_ / "in.json", c.json);
    WriteText(dir_ / "kept.dat", "previous content");
    for (const char* out : {"out.dat", "kept.dat"}) {
        const CliRun run = Sysctrl({"encode", (dir_ / "in.json").string(), (dir_ / out).string()});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("in.json"), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty());
    }
    EXPECT_EQ(Files(), (std::vector<std::string>{"in.json", "kept.dat"}));
    EXPECT_EQ(ReadText(dir_ / "kept.dat"), "previous content");
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, SysCtrlBadJson,
    ::testing::Values(
        BadJson{"not_json", "{\"rcCloseBtn\": [1,2,", "not valid JSON"},
        BadJson{"empty_file", "", "not valid JSON"},
        BadJson{"array_at_top", "[1,2,3]", "expected one JSON object"},
        BadJson{"missing_member", DemoWith("szForumUrl", ""), "missing member \"szForumUrl\""},
        BadJson{"extra_member", DemoWith("szExtraUrl", "\"x\""), "unknown member \"szExtraUrl\""},
        BadJson{"number_as_text", DemoWith("nBrowserTop", "\"170\""),
                "nBrowserTop: expected an integer"},
        BadJson{"fraction", DemoWith("nBrowserWidth", "460.5"),
                "nBrowserWidth: expected an integer"},
        BadJson{"boolean", DemoWith("nBrowserLeft", "true"), "nBrowserLeft: expected an integer"},
        BadJson{"over_int32", DemoWith("nBrowserHeight", "2147483648"),
                "nBrowserHeight: 2147483648 is outside the 32-bit integer range"},
        BadJson{"under_int32", DemoWith("nBrowserLeft", "-2147483649"),
                "nBrowserLeft: -2147483649 is outside the 32-bit integer range"},
        BadJson{"huge", DemoWith("nBrowserLeft", "18446744073709551616"),
                "nBrowserLeft: expected an integer"},
        BadJson{"rect_three", DemoWith("rcCloseBtn", "[1,2,3]"),
                "rcCloseBtn: expected an array of four integers"},
        BadJson{"rect_five", DemoWith("rcOfficialBtn", "[1,2,3,4,5]"),
                "rcOfficialBtn: expected an array of four integers"},
        BadJson{"rect_object", DemoWith("rcForumBtn", "{\"left\":1}"),
                "rcForumBtn: expected an array of four integers"},
        BadJson{"rect_text_item", DemoWith("rcServiceBtn", "[1,\"2\",3,4]"),
                "rcServiceBtn[1]: expected an integer"},
        BadJson{"rect_over_int32", DemoWith("rcMinimizeBtn", "[1,2,3,4294967296]"),
                "rcMinimizeBtn[3]: 4294967296 is outside the 32-bit integer range"},
        BadJson{"text_as_number", DemoWith("szLoginUrl", "5"), "szLoginUrl: expected a string"},
        BadJson{"text_null", DemoWith("szServiceUrl", "null"), "szServiceUrl: expected a string"},
        BadJson{"text_300_units", DemoWith("szLoginUrl", "\"" + std::string(300, 'a') + "\""),
                "szLoginUrl: the text is 300 UTF-16 units long; at most 299 fit"},
        BadJson{"text_with_nul", DemoWith("szOfficialUrl", "\"a\\u0000b\""),
                "szOfficialUrl: the text contains a NUL character"},
        BadJson{"bad_utf8", "{\"szLoginUrl\": \"\xC3\x28\"}", "not valid JSON"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SysCtrl, TextLimitCountsUtf16Units) {
    std::string astral;
    for (int i = 0; i < 149; ++i) astral += "\U0001F3AE";
    nlohmann::json config = DemoJson();
    config["szRechargeUrl"] = astral + "a";  // 299 units
    WriteText(dir_ / "ok.json", config.dump());
    const CliRun ok = Sysctrl({"encode", (dir_ / "ok.json").string(), (dir_ / "ok.dat").string()});
    EXPECT_EQ(ok.exitCode, 0) << ok.err;

    config["szRechargeUrl"] = astral + "\U0001F3AE";  // 300 units in 150 characters
    WriteText(dir_ / "bad.json", config.dump());
    const CliRun bad =
        Sysctrl({"encode", (dir_ / "bad.json").string(), (dir_ / "bad.dat").string()});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.err.find("szRechargeUrl: the text is 300 UTF-16 units long"), std::string::npos)
        << bad.err;
    EXPECT_FALSE(fs::exists(dir_ / "bad.dat"));
}

TEST_F(SysCtrl, UnwritableOutputLeavesNothing) {
    WriteText(dir_ / "in.json", DemoJson().dump());
    const CliRun run =
        Sysctrl({"encode", (dir_ / "in.json").string(), (dir_ / "missing" / "out.dat").string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("missing/out.dat"), std::string::npos) << run.err;
    fs::create_directory(dir_ / "taken.dat");
    const CliRun onDir =
        Sysctrl({"encode", (dir_ / "in.json").string(), (dir_ / "taken.dat").string()});
    EXPECT_EQ(onDir.exitCode, 1);
    EXPECT_NE(onDir.err.find("taken.dat"), std::string::npos) << onDir.err;
    EXPECT_EQ(Files(), (std::vector<std::string>{"in.json", "taken.dat"}));
}

struct BadDat {
    const char* name;
    std::size_t size;  // bytes of the demo file kept
    const char* message;
};

class SysCtrlBadDat : public SysCtrl, public ::testing::WithParamInterface<BadDat> {};

TEST_P(SysCtrlBadDat, IsRefusedWithItsReason) {
    const BadDat& c = GetParam();
    std::string bytes = ReadText(kDemo / "sysctrl.dat");
    bytes.resize(c.size);
    WriteText(dir_ / "bad.dat", bytes);
    const CliRun run = Sysctrl({"decode", (dir_ / "bad.dat").string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("bad.dat"), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Files, SysCtrlBadDat,
    ::testing::Values(BadDat{"empty", 0, "0 bytes long; a record needs at least 3120"},
                      BadDat{"one_byte", 1, "1 bytes long, not a whole number of 8-byte blocks"},
                      BadDat{"header_only", 8, "8 bytes long; a record needs at least 3120"},
                      BadDat{"short", 3112, "3112 bytes long; a record needs at least 3120"},
                      BadDat{"not_blocks", 3121, "not a whole number of 8-byte blocks"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SysCtrl, DamagedHeaderIsReported) {
    // Find a header change that claims more padding than the record leaves room for.
    const std::string good = ReadText(kDemo / "sysctrl.dat");
    bool seen = false;
    for (int bit = 0; bit < 64 && !seen; ++bit) {
        std::string bytes = good;
        bytes[bit / 8] = char(bytes[bit / 8] ^ (1 << (bit % 8)));
        WriteText(dir_ / "bad.dat", bytes);
        const CliRun run = Sysctrl({"decode", (dir_ / "bad.dat").string()});
        if (run.exitCode == 0) continue;
        seen = true;
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find("damaged configuration file"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("the record needs 3112"), std::string::npos) << run.err;
    }
    EXPECT_TRUE(seen);
}

TEST_F(SysCtrl, UnreadableFilesAreNamed) {
    const CliRun missing = Sysctrl({"decode", (dir_ / "none.dat").string()});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("cannot read"), std::string::npos) << missing.err;
    EXPECT_NE(missing.err.find("none.dat"), std::string::npos) << missing.err;

    const CliRun directory = Sysctrl({"decode", dir_.string()});
    EXPECT_EQ(directory.exitCode, 1);
    EXPECT_NE(directory.err.find("is a directory"), std::string::npos) << directory.err;

    const CliRun noJson =
        Sysctrl({"encode", (dir_ / "none.json").string(), (dir_ / "out.dat").string()});
    EXPECT_EQ(noJson.exitCode, 1);
    EXPECT_NE(noJson.err.find("none.json"), std::string::npos) << noJson.err;
    EXPECT_FALSE(fs::exists(dir_ / "out.dat"));
}

struct Usage {
    const char* name;
    std::vector<std::string> args;
    const char* message;
};

class SysCtrlUsage : public SysCtrl, public ::testing::WithParamInterface<Usage> {};

TEST_P(SysCtrlUsage, WrongUsageExitsWith2) {
    const CliRun run = Sysctrl(GetParam().args);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find(GetParam().message), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("--help"), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, SysCtrlUsage,
    ::testing::Values(Usage{"none", {}, "no command given"},
                      Usage{"unknown", {"frobnicate"}, "unknown command"},
                      Usage{"decode_without_file", {"decode"}, "decode takes one argument"},
                      Usage{"decode_two_files", {"decode", "a", "b"}, "decode takes one argument"},
                      Usage{"encode_one_file", {"encode", "a.json"}, "encode takes two arguments"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
