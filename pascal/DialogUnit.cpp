// The dialog functions as a host unit over a DialogHost.
#include "pascal/DialogUnit.h"

namespace pascal {

void registerDialogUnit(Engine& engine, DialogHost& host) {
    DialogHost* h = &host;
    auto msg = [](const char* name, void (DialogHost::*show)(const std::string&), DialogHost* hh) {
        return HostFunction{name,
                            {{"msg", Type::String}},
                            std::nullopt,
                            [hh, show](CallContext& c) { (hh->*show)(c.getString("msg")); }};
    };
    auto ask = [](const char* name, bool (DialogHost::*show)(const std::string&), DialogHost* hh) {
        return HostFunction{
            name, {{"msg", Type::String}}, Type::Boolean, [hh, show](CallContext& c) {
                c.setBoolean("result", (hh->*show)(c.getString("msg")));
            }};
    };
    std::vector<HostFunction> fns;
    fns.push_back(msg("ShowMessage", &DialogHost::showMessage, h));
    fns.push_back(HostFunction{
        "InputBox",
        {{"aCaption", Type::String}, {"aPrompt", Type::String}, {"aDefault", Type::String}},
        Type::String,
        [h](CallContext& c) {
            std::string def = c.getString("aDefault");
            auto answer = h->inputBox(c.getString("aCaption"), c.getString("aPrompt"), def);
            c.setString("result", answer ? *answer : def);
        }});
    fns.push_back(msg("ErrorDlg", &DialogHost::errorDlg, h));
    fns.push_back(msg("InformationDlg", &DialogHost::informationDlg, h));
    fns.push_back(ask("QuestionDlg", &DialogHost::questionDlg, h));
    fns.push_back(ask("OkCancelDlg", &DialogHost::okCancelDlg, h));
    engine.registerUnit(kDialogUnitName, std::move(fns));
}

} // namespace pascal
