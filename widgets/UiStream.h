#pragma once
// The extra properties a widget streams itself (lists, obsolete names of older forms): each
// defines a property with a reader and a writer, and a filer decides which runs.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/rtl/Classes.h"

class TUiFiler {
public:
    virtual ~TUiFiler() = default;
    // Whether the object being written has an ancestor, and of which kind.
    const TObject* Ancestor = nullptr;

    virtual void DefineInteger(const std::string& name, const std::function<void(int)>& read,
                               const std::function<int()>& write, bool hasData) = 0;
    virtual void DefineIntegerList(const std::string& name,
                                   const std::function<void(const std::vector<int>&)>& read,
                                   const std::function<std::vector<int>()>& write, bool hasData) = 0;
    // Boolean, identifier and string-list properties of older forms, read only.
    virtual void DefineBoolean(const std::string& name, const std::function<void(bool)>& read) = 0;
    virtual void DefineIdent(const std::string& name,
                             const std::function<void(const std::string&)>& read) = 0;
};

// Writes "Name = value" lines, "Name = (1 2 3)" for lists, the form file's text layout.
class TUiTextWriter : public TUiFiler {
public:
    void DefineInteger(const std::string& name, const std::function<void(int)>&,
                       const std::function<int()>& write, bool hasData) override;
    void DefineIntegerList(const std::string& name, const std::function<void(const std::vector<int>&)>&,
                           const std::function<std::vector<int>()>& write, bool hasData) override;
    void DefineBoolean(const std::string&, const std::function<void(bool)>&) override {}
    void DefineIdent(const std::string&, const std::function<void(const std::string&)>&) override {}
    const std::string& Text() const { return FText; }

private:
    std::string FText;
};

// Reads the lines a writer produced (or an older form's); unknown names are ignored.
class TUiTextReader : public TUiFiler {
public:
    explicit TUiTextReader(const std::string& text);
    void DefineInteger(const std::string& name, const std::function<void(int)>& read,
                       const std::function<int()>&, bool) override;
    void DefineIntegerList(const std::string& name, const std::function<void(const std::vector<int>&)>& read,
                           const std::function<std::vector<int>()>&, bool) override;
    void DefineBoolean(const std::string& name, const std::function<void(bool)>& read) override;
    void DefineIdent(const std::string& name, const std::function<void(const std::string&)>& read) override;

private:
    std::map<std::string, std::string> FValues;
};
