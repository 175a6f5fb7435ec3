// A command line for the engine, built up by the application before the engine starts.
#pragma once

#include <string>
#include <vector>

#include "cef/cef_base.h"
#include "cef/cef_string.h"

class CefCommandLine : public virtual CefBase {
  public:
    using ArgumentList = std::vector<CefString>;

    static CefRefPtr<CefCommandLine> CreateCommandLine();

    // The program; argv[0].
    virtual CefString GetProgram() = 0;
    virtual void SetProgram(const CefString& program) = 0;

    // Every entry after the program, in the order appended.
    virtual void GetArgv(std::vector<std::string>& argv) = 0;
    virtual void GetArgv(ArgumentList& argv) = 0;
    // Only the plain arguments (added with AppendArgument), in order.
    virtual void GetArguments(ArgumentList& arguments) = 0;

    // A plain entry, passed on exactly as given.
    virtual void AppendArgument(const CefString& argument) = 0;
    // "--name"; a name that already starts with "-" or "--" keeps its prefix.
    virtual void AppendSwitch(const CefString& name) = 0;
    // "--name=value".
    virtual void AppendSwitchWithValue(const CefString& name, const CefString& value) = 0;
    // Switches are looked up by name without prefix ("x" and "--x" are the same switch).
    virtual bool HasSwitch(const CefString& name) = 0;
    virtual CefString GetSwitchValue(const CefString& name) = 0;
    virtual bool HasArguments() = 0;
};
