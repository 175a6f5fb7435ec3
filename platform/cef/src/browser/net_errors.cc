#include "browser/net_errors.h"

#include <array>
#include <utility>

namespace cef_detail {
namespace {

constexpr std::string_view kPrefix = "net::";
constexpr int kFailed = -2;
constexpr std::string_view kFailedName = "ERR_FAILED";

// The engine's own numbering of its common network errors.
constexpr std::array<std::pair<std::string_view, int>, 52> kCodes{{
    {"ERR_IO_PENDING", -1},
    {"ERR_FAILED", -2},
    {"ERR_ABORTED", -3},
    {"ERR_INVALID_ARGUMENT", -4},
    {"ERR_INVALID_HANDLE", -5},
    {"ERR_FILE_NOT_FOUND", -6},
    {"ERR_TIMED_OUT", -7},
    {"ERR_FILE_TOO_BIG", -8},
    {"ERR_UNEXPECTED", -9},
    {"ERR_ACCESS_DENIED", -10},
    {"ERR_NOT_IMPLEMENTED", -11},
    {"ERR_INSUFFICIENT_RESOURCES", -12},
    {"ERR_OUT_OF_MEMORY", -13},
    {"ERR_BLOCKED_BY_CLIENT", -20},
    {"ERR_NETWORK_CHANGED", -21},
    {"ERR_BLOCKED_BY_ADMINISTRATOR", -22},
    {"ERR_BLOCKED_BY_RESPONSE", -27},
    {"ERR_CONNECTION_CLOSED", -100},
    {"ERR_CONNECTION_RESET", -101},
    {"ERR_CONNECTION_REFUSED", -102},
    {"ERR_CONNECTION_ABORTED", -103},
    {"ERR_CONNECTION_FAILED", -104},
    {"ERR_NAME_NOT_RESOLVED", -105},
    {"ERR_INTERNET_DISCONNECTED", -106},
    {"ERR_SSL_PROTOCOL_ERROR", -107},
    {"ERR_ADDRESS_INVALID", -108},
    {"ERR_ADDRESS_UNREACHABLE", -109},
    {"ERR_SSL_CLIENT_AUTH_CERT_NEEDED", -110},
    {"ERR_TUNNEL_CONNECTION_FAILED", -111},
    {"ERR_CONNECTION_TIMED_OUT", -118},
    {"ERR_HOST_RESOLVER_QUEUE_TOO_LARGE", -119},
    {"ERR_NAME_RESOLUTION_FAILED", -137},
    {"ERR_NETWORK_ACCESS_DENIED", -138},
    {"ERR_CERT_COMMON_NAME_INVALID", -200},
    {"ERR_CERT_DATE_INVALID", -201},
    {"ERR_CERT_AUTHORITY_INVALID", -202},
    {"ERR_CERT_REVOKED", -206},
    {"ERR_CERT_INVALID", -207},
    {"ERR_INVALID_URL", -300},
    {"ERR_DISALLOWED_URL_SCHEME", -301},
    {"ERR_UNKNOWN_URL_SCHEME", -302},
    {"ERR_TOO_MANY_REDIRECTS", -310},
    {"ERR_UNSAFE_REDIRECT", -311},
    {"ERR_UNSAFE_PORT", -312},
    {"ERR_INVALID_RESPONSE", -320},
    {"ERR_INVALID_CHUNKED_ENCODING", -321},
    {"ERR_EMPTY_RESPONSE", -324},
    {"ERR_RESPONSE_HEADERS_TOO_BIG", -325},
    {"ERR_CONTENT_LENGTH_MISMATCH", -354},
    {"ERR_CACHE_MISS", -400},
    {"ERR_INSECURE_RESPONSE", -501},
    {"ERR_HTTP_RESPONSE_CODE_FAILURE", -379},
}};

std::string_view StripPrefix(std::string_view text) {
    if (text.substr(0, kPrefix.size()) == kPrefix) text.remove_prefix(kPrefix.size());
    return text;
}

}  // namespace

int NetErrorCode(std::string_view engine_text) {
    const std::string_view name = StripPrefix(engine_text);
    for (const auto& [known, code] : kCodes) {
        if (known == name) return code;
    }
    return kFailed;
}

std::string NetErrorName(std::string_view engine_text) {
    const std::string_view name = StripPrefix(engine_text);
    return std::string(name.empty() ? kFailedName : name);
}

}  // namespace cef_detail
