// libFuzzer target: any bytes given to the decoder either yield a record that survives
// re-enciphering unchanged, or a clear refusal; never a crash or an out-of-bounds read.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>

#include "ConfigJson.h"
#include "SysCtrl.h"
#include "config/ConfigCipher.h"
#include "config/ConfigEncipher.h"
#include "config/ConfigFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SysCtrlConfig record{};
    const bool filled = bool(korvex::ReadConfigRecord(data, size, record));
    try {
        const auto object = sysctrl::DecodeConfigBytes(data, size);
        if (!filled) std::abort();  // decoded what the launcher would refuse
        const SysCtrlConfig again = sysctrl::RecordFromJson(object);
        std::mt19937_64 random(size);  // deterministic, as libFuzzer wants
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(&again);
        const auto file = korvex::EncipherConfig(bytes, sizeof again,
                                                 korvex::RandomCipherChoices(sizeof again, random),
                                                 korvex::BuildConfigKey());
        SysCtrlConfig back{};
        if (!korvex::ReadConfigRecord(file.data(), file.size(), back)) std::abort();
        if (std::memcmp(&back, &again, sizeof back) != 0) std::abort();
        if (sysctrl::DecodeConfigBytes(file.data(), file.size()) != object) std::abort();
    } catch (const sysctrl::ConfigJsonError&) {
        // A refusal with its reason is a correct answer for damaged bytes.
    }
    return 0;
}
