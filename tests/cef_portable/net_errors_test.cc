// Engine error texts to the numeric code and the name handlers are given.
#include "browser/net_errors.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

using namespace std::string_view_literals;

struct Case {
    std::string_view text;
    int code;
    std::string_view name;
};

// Codes are the engine's own numbering of its network errors.
constexpr Case kCases[] = {
    {"net::ERR_CONNECTION_REFUSED", -102, "ERR_CONNECTION_REFUSED"},
    {"net::ERR_NAME_NOT_RESOLVED", -105, "ERR_NAME_NOT_RESOLVED"},
    {"net::ERR_ABORTED", -3, "ERR_ABORTED"},
    {"net::ERR_IO_PENDING", -1, "ERR_IO_PENDING"},
    {"net::ERR_FAILED", -2, "ERR_FAILED"},
    {"net::ERR_TIMED_OUT", -7, "ERR_TIMED_OUT"},
    {"net::ERR_INTERNET_DISCONNECTED", -106, "ERR_INTERNET_DISCONNECTED"},
    {"net::ERR_CONNECTION_TIMED_OUT", -118, "ERR_CONNECTION_TIMED_OUT"},
    {"net::ERR_CERT_AUTHORITY_INVALID", -202, "ERR_CERT_AUTHORITY_INVALID"},
    {"net::ERR_TOO_MANY_REDIRECTS", -310, "ERR_TOO_MANY_REDIRECTS"},
    {"net::ERR_HTTP_RESPONSE_CODE_FAILURE", -379, "ERR_HTTP_RESPONSE_CODE_FAILURE"},
    {"net::ERR_CACHE_MISS", -400, "ERR_CACHE_MISS"},
    {"net::ERR_INSECURE_RESPONSE", -501, "ERR_INSECURE_RESPONSE"},
    // Without the namespace.
    {"ERR_NAME_NOT_RESOLVED", -105, "ERR_NAME_NOT_RESOLVED"},
    {"ERR_ABORTED", -3, "ERR_ABORTED"},
    // Nothing to go by: still a failure, never 0 ("no error").
    {"", -2, "ERR_FAILED"},
    {"net::", -2, "ERR_FAILED"},
    // Names the table does not know keep their text and read as a general failure.
    {"net::ERR_SOMETHING_NEW", -2, "ERR_SOMETHING_NEW"},
    {"ERR_", -2, "ERR_"},
    // Odd text is not taken for a known name.
    {"net::ERR_ABORTED trailing", -2, "ERR_ABORTED trailing"},
    {"net::ERR_ABORTED ", -2, "ERR_ABORTED "},
    {" net::ERR_ABORTED", -2, " net::ERR_ABORTED"},
    {"net::err_aborted", -2, "err_aborted"},
    {"NET::ERR_ABORTED", -2, "NET::ERR_ABORTED"},
    {"net:ERR_ABORTED", -2, "net:ERR_ABORTED"},
    {"net::net::ERR_ABORTED", -2, "net::ERR_ABORTED"},
    {"net::ERR_ABORTED\0x"sv, -2, "ERR_ABORTED\0x"sv},
    {"-3", -2, "-3"},
};

TEST(NetErrors, CodeAndNameOfEngineTexts) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << "text '" << c.text << "'");
        EXPECT_EQ(cef_detail::NetErrorCode(c.text), c.code);
        EXPECT_EQ(cef_detail::NetErrorName(c.text), std::string(c.name));
    }
}

}  // namespace
