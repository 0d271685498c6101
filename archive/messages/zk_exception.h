#pragma once
// The archive component's exceptions. EZKException carries the message
// identifier of the failure and whether it is to be shown in a message box
// when reported; EZipKeeper is the class the component raises.
#include <string>

#include "platform/exception.h"

namespace lunaro::archive {

class EZKException : public platform::Exception {
public:
    EZKException(const std::string& message, int ident, bool display)
        : platform::Exception(message), fResIdent(ident), fDisplayMsg(display) {}

    int ResId() const { return fResIdent; }
    bool DisplayMsg() const { return fDisplayMsg; }

private:
    int fResIdent;
    bool fDisplayMsg;
};

class EZipKeeper : public EZKException {
public:
    using EZKException::EZKException;

    // The message as given, identifier 11049 ("Unknown Error").
    static EZipKeeper CreateDisp(const std::string& message, bool display);
    // The text of ident.
    static EZipKeeper CreateResDisp(int ident, bool display);
    // The text of ident formatted with the arguments; always displayed.
    static EZipKeeper CreateResInt(int ident, int anInt);
    static EZipKeeper CreateResStr(int ident, const std::string& str1);
    static EZipKeeper CreateRes2Str(int ident, const std::string& str1, const std::string& str2);
};

// A negated identifier of the component's range (-11603 to -10096) made
// positive; any other value unchanged.
int NormalizedIdent(int ident);

}  // namespace lunaro::archive
