#include "cef/cef_command_line.h"

#include <mutex>

namespace {

std::u16string_view StripPrefix(std::u16string_view name) {
    if (name.starts_with(u"--")) return name.substr(2);
    if (name.starts_with(u"-")) return name.substr(1);
    return name;
}

class CommandLine final : public CefCommandLine {
  public:
    CefString GetProgram() override {
        std::lock_guard lock(mutex_);
        return program_;
    }
    void SetProgram(const CefString& program) override {
        std::lock_guard lock(mutex_);
        program_ = program;
    }
    void GetArgv(std::vector<std::string>& argv) override {
        std::lock_guard lock(mutex_);
        argv.clear();
        argv.push_back(program_.ToString());
        for (const auto& e : entries_) argv.push_back(e.text.ToString());
    }
    void GetArgv(ArgumentList& argv) override {
        std::lock_guard lock(mutex_);
        argv.clear();
        argv.push_back(program_);
        for (const auto& e : entries_) argv.push_back(e.text);
    }
    void GetArguments(ArgumentList& arguments) override {
        std::lock_guard lock(mutex_);
        arguments.clear();
        for (const auto& e : entries_)
            if (e.name.empty()) arguments.push_back(e.text);
    }
    void AppendArgument(const CefString& argument) override {
        std::lock_guard lock(mutex_);
        entries_.push_back({argument, {}, {}});
    }
    // A switch without a name is dropped: "--" alone would end the engine's switches.
    void AppendSwitch(const CefString& name) override {
        if (Key(name).empty()) return;
        std::lock_guard lock(mutex_);
        entries_.push_back({Prefixed(name), Key(name), {}});
    }
    void AppendSwitchWithValue(const CefString& name, const CefString& value) override {
        if (Key(name).empty()) return;
        std::lock_guard lock(mutex_);
        entries_.push_back(
            {CefString(Prefixed(name).ToString16() + u"=" + value.ToString16()), Key(name), value});
    }
    bool HasSwitch(const CefString& name) override {
        std::lock_guard lock(mutex_);
        return Find(name) != nullptr;
    }
    CefString GetSwitchValue(const CefString& name) override {
        std::lock_guard lock(mutex_);
        const Entry* e = Find(name);
        return e ? e->value : CefString();
    }
    bool HasArguments() override {
        std::lock_guard lock(mutex_);
        for (const auto& e : entries_)
            if (e.name.empty()) return true;
        return false;
    }

  private:
    struct Entry {
        CefString text;   // As it goes onto the command line.
        CefString name;   // Switch name without prefix; empty for a plain argument.
        CefString value;  // Switch value.
    };

    static CefString Key(const CefString& name) {
        return CefString(std::u16string(StripPrefix(name.ToString16())));
    }
    static CefString Prefixed(const CefString& name) {
        const std::u16string& n = name.ToString16();
        return n.starts_with(u"-") ? name : CefString(u"--" + n);
    }
    // The last entry of a switch wins, as on a real command line.
    const Entry* Find(const CefString& name) const {
        const CefString key = Key(name);
        for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
            if (!it->name.empty() && it->name == key) return &*it;
        return nullptr;
    }

    std::mutex mutex_;
    CefString program_;
    std::vector<Entry> entries_;
    IMPLEMENT_REFCOUNTING(CommandLine);
};

}  // namespace

CefRefPtr<CefCommandLine> CefCommandLine::CreateCommandLine() { return new CommandLine(); }
