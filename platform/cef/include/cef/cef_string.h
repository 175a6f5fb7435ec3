// UTF-16 text with a length, converted from and to UTF-8 and wide strings.
#pragma once

#include <compare>
#include <string>
#include <string_view>

class CefString {
  public:
    CefString() = default;
    CefString(const std::u16string& s) : text_(s) {}
    CefString(std::u16string&& s) : text_(std::move(s)) {}
    CefString(const char16_t* s) : text_(s ? s : u"") {}
    CefString(const std::string& utf8) { FromString(utf8); }
    CefString(const char* utf8) { FromString(utf8 ? std::string_view(utf8) : std::string_view()); }
    CefString(const std::wstring& wide) { FromWString(wide); }
    CefString(const wchar_t* wide) {
        FromWString(wide ? std::wstring_view(wide) : std::wstring_view());
    }

    // Conversions. Invalid UTF-8 sequences and unpaired surrogates become U+FFFD.
    void FromString(std::string_view utf8);
    void FromWString(std::wstring_view wide);
    std::string ToString() const;
    std::wstring ToWString() const;
    const std::u16string& ToString16() const { return text_; }

    const char16_t* c_str() const { return text_.c_str(); }
    std::size_t length() const { return text_.length(); }
    std::size_t size() const { return text_.size(); }
    bool empty() const { return text_.empty(); }
    void clear() { text_.clear(); }

    friend bool operator==(const CefString&, const CefString&) = default;
    friend std::strong_ordering operator<=>(const CefString& a, const CefString& b) {
        return a.text_ <=> b.text_;
    }

  private:
    std::u16string text_;
};
