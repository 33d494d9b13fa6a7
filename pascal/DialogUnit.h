// The dialog functions every script may call (ShowMessage, InputBox and the
// message boxes), registered as a unit over a host that shows them.
#pragma once

#include "pascal/Engine.h"

#include <optional>
#include <string>

namespace pascal {

// Shows the script's dialogs; the player implements it over its message
// boxes, norvo-pascal over the terminal. All texts are cp1251.
class DialogHost {
public:
    virtual ~DialogHost() = default;
    // ShowMessage(msg)
    virtual void showMessage(const std::string& msg) = 0;
    // InputBox(aCaption, aPrompt, aDefault): the text entered, nullopt when
    // cancelled (the script then gets aDefault).
    virtual std::optional<std::string> inputBox(const std::string& caption,
                                                const std::string& prompt,
                                                const std::string& defaultText) = 0;
    // ErrorDlg(msg)
    virtual void errorDlg(const std::string& msg) = 0;
    // InformationDlg(msg)
    virtual void informationDlg(const std::string& msg) = 0;
    // QuestionDlg(msg): true for Yes.
    virtual bool questionDlg(const std::string& msg) = 0;
    // OkCancelDlg(msg): true for OK.
    virtual bool okCancelDlg(const std::string& msg) = 0;
};

// The name of the unit that registerDialogUnit adds.
inline constexpr const char* kDialogUnitName = "Dialogs";

// Register ShowMessage, InputBox, ErrorDlg, InformationDlg, QuestionDlg and
// OkCancelDlg on the engine, calling the host. The host must outlive every
// run of the engine's programs.
void registerDialogUnit(Engine& engine, DialogHost& host);

} // namespace pascal
