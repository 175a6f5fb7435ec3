#include "SysCtrl.h"

#include <fstream>
#include <ostream>
#include <sstream>
#include <string>

#include "AtomicFile.h"
#include "ConfigJson.h"
#include "config/ConfigEncipher.h"
#include "config/ConfigFile.h"

namespace sysctrl {
namespace {

constexpr int kExitOk = 0, kExitBadInput = 1, kExitUsage = 2;

constexpr char kHelp[] = R"(Usage:
  sysctrl decode FILE.dat
      Deciphers the configuration file and prints its record as one JSON object.
  sysctrl encode CONFIG.json OUT.dat
      Enciphers the record described by CONFIG.json into OUT.dat, with fresh random mask,
      header and padding bytes. OUT.dat appears whole or not at all.
  sysctrl --help
      Shows this text.

The JSON object has exactly these members:
  rcOfficialBtn, rcRechargeBtn, rcServiceBtn, rcForumBtn, rcMinimizeBtn, rcCloseBtn
      the launcher's six buttons, each [left, top, right, bottom] in pixels
  nBrowserLeft, nBrowserTop, nBrowserWidth, nBrowserHeight
      place and size of the login web view inside the launcher
  szLoginUrl, szOfficialUrl, szRechargeUrl, szServiceUrl, szForumUrl
      the login page and the four web sites, at most 299 UTF-16 units each
All numbers are 32-bit signed integers.

Exit status: 0 done, 1 bad input (the message says what), 2 wrong usage.
)";

int Decode(const std::string& path, std::ostream& out, std::ostream& err) {
    try {
        const auto bytes = ReadWholeFile(path);
        out << DecodeConfigBytes(bytes.data(), bytes.size()).dump(2) << '\n';
        return kExitOk;
    } catch (const ConfigJsonError& e) {
        err << "sysctrl: " << path << ": " << e.what() << '\n';
    } catch (const std::runtime_error& e) {
        err << "sysctrl: " << e.what() << '\n';
    }
    return kExitBadInput;
}

int Encode(const std::string& jsonPath, const std::string& outPath, std::ostream& err) {
    try {
        const auto text = ReadWholeFile(jsonPath);
        nlohmann::json object;
        try {
            object = nlohmann::json::parse(text.begin(), text.end());
        } catch (const nlohmann::json::parse_error& e) {
            throw ConfigJsonError(std::string("not valid JSON: ") + e.what());
        }
        const SysCtrlConfig record = RecordFromJson(object);
        WriteFileAtomically(outPath, korvex::EncipherRecord(record));
        return kExitOk;
    } catch (const ConfigJsonError& e) {
        err << "sysctrl: " << jsonPath << ": " << e.what() << '\n';
    } catch (const std::runtime_error& e) {
        err << "sysctrl: " << e.what() << '\n';
    }
    return kExitBadInput;
}

int Usage(std::ostream& err, const std::string& problem) {
    err << "sysctrl: " << problem << "\nTry 'sysctrl --help'.\n";
    return kExitUsage;
}

}  // namespace

nlohmann::ordered_json DecodeConfigBytes(const std::uint8_t* data, std::size_t length) {
    SysCtrlConfig record{};
    const auto result = korvex::ReadConfigRecord(data, length, record);
    if (!result)
        throw ConfigJsonError("damaged configuration file: " +
                              korvex::DescribeConfigFileResult(result));
    return RecordToJson(record);
}

int RunSysCtrl(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    const std::string verb = argc > 1 ? argv[1] : "";
    if (verb == "--help" || verb == "-h" || verb == "help") {
        out << kHelp;
        return kExitOk;
    }
    if (verb == "decode") {
        if (argc != 3) return Usage(err, "decode takes one argument: FILE.dat");
        return Decode(argv[2], out, err);
    }
    if (verb == "encode") {
        if (argc != 4) return Usage(err, "encode takes two arguments: CONFIG.json OUT.dat");
        return Encode(argv[2], argv[3], err);
    }
    if (verb.empty()) return Usage(err, "no command given");
    return Usage(err, "unknown command '" + verb + "'");
}

}  // namespace sysctrl
